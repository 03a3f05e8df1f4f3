#include "engine/usb_models.h"

namespace engine {

const std::vector<UsbModel>& usbModels() {
    static const std::vector<UsbModel> models = {
        {"KONICA MINOLTA C353 Series PCL",
         "203",
         {"devcon update   KOAZXL__.inf  \"USBPRINT\\KONICA_MINOLTAC353_SEB04\""},
         0},
        {"KONICA MINOLTA 362/282/222 VXL",
         "362",
         {"devcon update   KOBZ2LB_.inf  \"USBPRINT\\KONICA_MINOLTA362/28D84B\""},
         0},
        {"FX DocuPrint CM305 df PCL 6",
         nullptr,
         {"devcon update   fxxmozi.inf  \"USBPRINT\\FUJI_XEROXDocuPrint_C77D\""},
         0},
        {"Generic 36C-1SeriesPCL",
         "360",
         {"devcon install  KOAZ8JA_.INF  \"USBPRINT\\Generic36C-1_SeriesA782\""},
         9},
        {"KONICA MINOLTA 210",
         nullptr,
         {"devcon  update KM_T.inf  \"USB\\VID_132B&PID_2022&MI_00\"",
          "devcon  update KM.inf  \"USBPRINT\\KONICA_MINOLTA210D257\""},
         0},
        {"KONICA MINOLTA 211",
         nullptr,
         {"devcon update  KM_T.inf  \"USB\\VID_132B&PID_2052&MI_00\"",
          "devcon update  TSK.inf  \"USBPRINT\\KONICA_MINOLTA_211C2A6\""},
         0},
        {"Generic 21BW-2",
         nullptr,
         {"devcon update  TSG_T.inf  \"USB\\VID_132B&PID_205B&MI_00\"",
          "devcon update  TSG.inf  \"USBPRINT\\Generic_21BW-2CF0A\""},
         0},
        {"Generic 21BW-3",
         nullptr,
         {"devcon update  TGWG.inf  \"USB\\VID_132B&PID_20e4&MI_00\"",
          "devcon update  GWG.inf  \"USBPRINT\\Generic21BW-391C8\""},
         0},
        {"Muratec MFX-1820/2010",
         nullptr,
         {"devcon  update .\\INSTDATA\\Scanner\\m1820usd.inf  \"USB\\VID_1144&PID_010A&MI_01\"",
          "devcon update  .\\INSTDATA\\Printer\\M1820prt.inf  "
          "\"USBPRINT\\MuratecMFX-1820/201032EB\""},
         0},
        {"Muratec MFX-2335",
         nullptr,
         {"devcon update   .\\INSTDATA\\Scanner\\m2335usd.inf  \"USB\\VID_1144&PID_016A&MI_01\"",
          "devcon update  .\\Printer\\WindowsDriver\\m2335prt.inf  "
          "\"USBPRINT\\MuratecMFX-2335FF3C\""},
         0},
    };
    return models;
}

const UsbModel* findUsbModel(const std::string& key) {
    for (const UsbModel& m : usbModels()) {
        if (key == m.printerName)
            return &m;
    }
    return nullptr;
}

}  // namespace engine
