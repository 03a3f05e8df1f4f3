#include "maker/recording.h"

#include "command/quote.h"

namespace maker {

std::string recordingLine(const std::string& printerName, const std::string& file) {
    return "cmd /c start  /wait rundll32 printui.dll,PrintUIEntry /Ss /n " +
           command::quoted(printerName, command::Receiver::Cmd) + " /a " +
           command::bare(file, command::Receiver::Cmd);
}

std::optional<std::string> recordingRefusal(const std::string& printerName) {
    if (auto why = command::refusal(printerName, command::Receiver::Cmd))
        return "印表機名稱「" + printerName + "」" + command::refusalText(*why) + "，無法製作。";
    return std::nullopt;
}

const char* const kOnePrinterQuestion =
    "說明：\r\n"
    "製作前需驅動程式安裝完成，並已做好所需的列印喜好設定(印表機內容=>進階=>列印預設值)\r\n"
    "\r\n"
    "您是否已完成上述之說明？";

const char* const kTwoPrinterQuestion =
    "說明：\r\n"
    "\r\n"
    "1.製作前需驅動程式安裝完成兩台分彩色與黑白\r\n"
    "\r\n"
    "彩色請在印表機名稱後面再加上_彩色，黑白請在印表機名稱後面再加上_黑白\r\n"
    "例：Generic 36C-1SeriesPCL_黑白 \r\n"
    "\r\n"
    "2.並且已做好所需的列印喜好設定 (印表機內容 => 進階 => 列印預設值)\r\n"
    " \r\n"
    "\r\n"
    "<使用小技巧：您可先勾選預設「兩台 (分彩色及黑白)」進行一鍵安裝後再製做>\r\n"
    "\r\n"
    "\r\n"
    "您是否已完成上述之說明？";

}  // namespace maker
