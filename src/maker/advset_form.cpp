#include "maker/advset_form.h"

#include "forms/runtime.h"
#include "inf/models.h"
#include "maker/help_text.h"
#include "maker/model_texts.h"
#include "maker/profile_fields.h"
#include "profile/profile_store.h"
#include "text/text.h"

namespace maker {

namespace {
constexpr forms::Rgb kRed{0xFF0000};
constexpr forms::Rgb kGreen{0x008000};
}  // namespace

// The window's design in one place: every control, its place, look and tab order. Its numbers
// are twips and points, as its designer laid them out.
// NOLINTBEGIN(readability-magic-numbers)
// NOLINTNEXTLINE(readability-function-size)
AdvsetForm::AdvsetForm(forms::Runtime& runtime, std::function<void(const std::string&)> saved)
    : Form(runtime, "ADVSET", 7125, 4665),
      Label3_0(*this, "Label3(0)", {240, 120, 1215, 255}, "步驟 1"),
      // The model frame is wider than the INF frame: a 1935-twip model box cut "Velmora Sample
      // Laser PCL". The room comes from the frames' margins and the gaps beside the two buttons,
      // which keep the width their four characters need at 96 DPI; the INF box keeps its width.
      Frame1(*this, "Frame1", {240, 360, 3060, 735}, "INF檔名"),
      Text4(*this, "Text4", {105, 300, 1935, 315}, ""),
      Command6(*this, "Command6", {2085, 255, 915, 375}, "自動尋找"),
      Label3_1(*this, "Label3(1)", {3420, 120, 1215, 255}, "步驟 2"),
      Frame2(*this, "Frame2", {3420, 360, 3465, 735}, "印表機模組"),
      Text3(*this, "Text3", {105, 300, 2340, 315}, ""),
      Combo1(*this, "Combo1", {105, 300, 2340, 315}, " 選擇[印表機名稱] "),
      find_INI(*this, "find_INI", {2490, 255, 915, 375}, "選擇型號"),
      // Under the model frame, on the row of Label4 and as wide as the frame; empty until a
      // printer answers. 240 twips high, so it ends where Frame3 begins (16 px at 96 DPI, 24 at
      // 144) rather than running into it as Label4 does.
      Label_reported(*this, "Label_reported", {3420, 1200, 3465, 240}, ""),
      Label4(*this, "Label4", {240, 1200, 3000, 255}, "(自訂安裝後的名稱)"),
      Frame3(*this, "Frame3", {240, 1440, 6645, 675}, "印表機名稱"),
      Text2(*this, "Text2", {120, 270, 6405, 315}, ""),
      Frame5(*this, "Frame5", {240, 2220, 3255, 1455}, "預設值"),
      Check1(*this, "Check1", {120, 300, 3015, 300}, "設定為預設印表機"),
      Check2(*this, "Check2", {120, 660, 3015, 300}, "套用自訂「列印喜好設定」檔"),
      Check3(*this, "Check3", {120, 1020, 3015, 300}, "安裝兩台 「(分彩色及黑白)」"),
      Frame8(*this, "Frame8", {3720, 2220, 3165, 1455}, "製作「列印喜好設定」檔"),
      Command5(*this, "Command5", {240, 360, 975, 375}, "製作"),
      Label7(*this, "Label7", {240, 960, 615, 255}, "狀態："),
      Label5(*this, "Label5", {855, 960, 1455, 255}, "尚未製作"),
      Label8(*this, "Label8", {855, 960, 1455, 255}, "已製作"),
      Frame6(*this, "Frame6", {3720, 2220, 3165, 1455}, "製作「列印喜好設定」檔(分彩黑)"),
      cmdCBset(*this, "cmdCBset", {240, 360, 975, 375}, "製作"),
      Label10(*this, "Label10", {240, 960, 615, 255}, "狀態："),
      Label6(*this, "Label6", {855, 960, 1455, 255}, "尚未製作"),
      Label9(*this, "Label9", {855, 960, 1455, 255}, "已製作"),
      Frame7(*this, "Frame7", {240, 3720, 6645, 135}, ""),
      Command7(*this, "Command7", {240, 3975, 495, 495}, "?"),
      Command2(*this, "Command2", {4560, 3975, 1095, 495}, "確定"),
      Command3(*this, "Command3", {5790, 3975, 1095, 495}, "取消"),
      INI_MODE(*this, "INI_MODE", {7440, 120, 4575, 3255}, "INI"),
      Filenamelabel(*this, "Filenamelabel", {120, 300, 855, 255}, "檔案名："),
      Filename(*this, "Filename", {1080, 270, 3375, 315}, ""),
      Sectionslabel(*this, "Sectionslabel", {120, 720, 855, 255}, "小節："),
      Sectionslist(*this, "Sectionslist", {1080, 690, 3375, 315}, ""),
      Entrieslabel(*this, "Entrieslabel", {120, 1140, 855, 255}, "項："),
      Entrieslist(*this, "Entrieslist", {1080, 1110, 3375, 975}),
      Valuelabel(*this, "Valuelabel", {120, 2220, 855, 255}, "取值："),
      Value(*this, "Value", {1080, 2190, 3375, 315}, ""),
      Combo1ADD(*this, "Combo1ADD", {1080, 2640, 3375, 315}, ""),
      File1(*this, "File1", {7440, 3480, 2175, 1035}, "*.inf"),
      Command8(*this, "Command8", {9720, 3480, 1815, 375}, "自動尋找型號OLD"),
      Command1(*this, "Command1", {9720, 3960, 1095, 375}, "read inf"),
      Command4(*this, "Command4", {10920, 3960, 1095, 375}, "開啟INF檔"),
      txtContent(*this, "txtContent", {12240, 120, 2415, 2415}, ""),
      Frame4(*this, "Frame4", {12240, 2640, 2415, 735}, "印表機IP"),
      Text1(*this, "Text1", {120, 300, 2175, 315}, ""),
      Text5(*this, "Text5", {12240, 3480, 1095, 315}, ""),
      Label_Default(*this, "Label_Default", {12240, 3960, 2415, 255}, "設定為預設印表機"),
      Label_set(*this, "Label_set", {12240, 4260, 2415, 255}, "套用自訂「列印喜好設定」檔"),
      Label_setup_bc(*this, "Label_setup_bc", {12240, 4560, 2415, 255},
                     "安裝兩台 「(分彩色及黑白)」"),
      saved_(std::move(saved)) {
    designCaption(kTitle);
    startPosition = forms::StartPosition::CenterOwner;
    for (forms::Control* c :
         {static_cast<forms::Control*>(&Text4), static_cast<forms::Control*>(&Command6)}) {
        c->placeIn(Frame1);
    }
    Text3.placeIn(Frame2);
    Combo1.placeIn(Frame2);
    find_INI.placeIn(Frame2);
    Text2.placeIn(Frame3);
    Check1.placeIn(Frame5);
    Check2.placeIn(Frame5);
    Check3.placeIn(Frame5);
    for (forms::Control* c :
         std::initializer_list<forms::Control*>{&Command5, &Label7, &Label5, &Label8}) {
        c->placeIn(Frame8);
    }
    for (forms::Control* c :
         std::initializer_list<forms::Control*>{&cmdCBset, &Label10, &Label6, &Label9}) {
        c->placeIn(Frame6);
    }
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &Filenamelabel, &Filename, &Sectionslabel, &Sectionslist, &Entrieslabel, &Entrieslist,
             &Valuelabel, &Value, &Combo1ADD}) {
        c->placeIn(INI_MODE);
    }
    Text1.placeIn(Frame4);
    txtContent.multiLine = true;
    txtContent.designVisible(false);
    Combo1.designVisible(false);
    File1.designVisible(false);
    Frame6.designVisible(false);
    Label8.designVisible(false);
    Label9.designVisible(false);
    Label5.foreColor = kRed;
    Label6.foreColor = kRed;
    Label8.foreColor = kGreen;
    Label9.foreColor = kGreen;
    // Bold and larger: the thin 9-point "?" read as a disabled button.
    Command7.font.bold = true;
    Command7.font.points = 12;
    // NOLINTEND(readability-magic-numbers)

    // Tab order: the fields top to bottom, then the buttons. The model list comes before the
    // model box it covers once shown: it must lie on top, or a click reaches the box.
    int tab = 0;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &Text4, &Command6, &Combo1, &Text3, &find_INI, &Text2, &Check1, &Check2, &Check3,
             &Command5, &cmdCBset, &Command7, &Command2, &Command3}) {
        c->tabIndex = tab++;
    }
    Command2.isDefault = true;
    Command3.isCancel = true;

    Check2.onClick = [this] { Check2_Click(); };
    Check3.onClick = [this] { Check3_Click(); };
    Label_Default.onClick = [this] { Label_Default_Click(); };
    Label_set.onClick = [this] { Label_set_Click(); };
    Label_setup_bc.onClick = [this] { Label_setup_bc_Click(); };
    Combo1.onClick = [this] { Combo1_Click(); };
    Combo1.onChange = [this] { Combo1_Change(); };
    Text3.onChange = [this] { Text3_Change(); };
    Text3.onClick = [this] { Text3_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command7.onClick = [this] { Command7_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    cmdCBset.onClick = [this] { cmdCBset_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    File1.onClick = [this] { File1_Click(); };
    find_INI.onClick = [this] { find_INI_Click(); };
    Filename.onChange = [this] { Filename_Change(); };
    Sectionslist.onClick = [this] { Sectionslist_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command8.onClick = [this] { Command8_Click(); };
}

bool AdvsetForm::exists(const char* name) {
    return runtime().services().files.exists(name);
}

void AdvsetForm::Form_Load() {
    platform::Services& os = runtime().services();
    profile::ProfileStore store(os.files, os.codepage);
    std::vector<std::string> parts;
    try {
        parts = store.readParts();
    } catch (const platform::Error& e) {
        // A folder without a profile gets the default line first, as the main window does.
        if (e.number() != platform::errors::kFileNotFound)
            throw;
        store.ensureExists();
        parts = store.readParts();
    }
    damage_ = profile::damageOf(parts);
    const profile::InstallProfile p = profile::fromParts(parts);
    Text1.setText(p.printerAddress);
    Text3.setText(p.modelName);  // proposes the model as the name
    Text4.setText(p.infFile);
    Text5.setText(p.optionFlags);
    Text2.setText(p.printerName);  // and the stored name replaces it
    Check1.setValue(profile::flagCharacter(Text5.text(), 1) == "1" ? 1 : 0);
    Check2.setValue(profile::flagCharacter(Text5.text(), 2) == "1" ? 1 : 0);
    Check3.setValue(profile::flagCharacter(Text5.text(), 3) == "1" ? 1 : 0);
    if (exists(kBlackFile)) {
        Label5.setVisible(false);
        Label8.setVisible(true);
    } else {
        Label8.setVisible(false);
    }
}

void AdvsetForm::Check2_Click() {
    if (Check2.value() != 1)
        return;
    if (exists(kBlackFile))
        return;
    if (exists(kColorFile)) {
        Label5.setVisible(false);
        return;
    }
    runtime().services().messageBoxes.show("列印喜好設定檔尚未建立", forms::kAppTitle,
                                           platform::Icon::Exclamation, platform::Buttons::Ok);
    Check2.setValue(0);
}

void AdvsetForm::Check3_Click() {
    if (Check3.value() != 1) {
        Frame8.setVisible(true);
        Frame6.setVisible(false);
        return;
    }
    Frame8.setVisible(false);
    Frame6.setVisible(true);
    if (exists(kBlackFile) && exists(kColorFile)) {
        Check2.setValue(1);
        Label6.setVisible(false);
        Label9.setVisible(true);
    } else {
        runtime().services().messageBoxes.show("列印喜好設定檔尚未建立「兩台(分彩色及黑白)」",
                                               "提示", platform::Icon::Exclamation,
                                               platform::Buttons::Ok);
    }
}

void AdvsetForm::Label_Default_Click() {
    Check1.setValue(Check1.value() == 1 ? 0 : 1);
}
void AdvsetForm::Label_set_Click() {
    Check2.setValue(Check2.value() == 1 ? 0 : 1);
}
void AdvsetForm::Label_setup_bc_Click() {
    Check3.setValue(Check3.value() == 1 ? 0 : 1);
}

void AdvsetForm::Combo1_Click() {
    if (Combo1.listIndex() >= 0)
        Text3.setText(Combo1.items()[Combo1.listIndex()]);
}

// A model typed into the shown list is the model, as one typed into the box it covers.
void AdvsetForm::Combo1_Change() {
    if (Combo1.visible())
        Text3.setText(Combo1.text());
}

void AdvsetForm::Text3_Change() {
    Text2.setText(Text3.text());
}

void AdvsetForm::Text3_Click() {
    Text3.setSelStart(0);
    Text3.setSelLength(static_cast<int>(text::length(Text3.text())));
}

void AdvsetForm::Command2_Click() {
    platform::Services& os = runtime().services();
    profile::InstallProfile p{
        "ip",         Text1.text(),
        Text2.text(), Text3.text(),
        Text4.text(), optionFlagsFrom(Check1.value(), Check2.value(), Check3.value())};
    // A field the line cannot hold is refused before anything changes.
    if (auto refused = refusedField(p, os.codepage)) {
        os.messageBoxes.show(*refused, kTitle, platform::Icon::Exclamation, platform::Buttons::Ok);
        return;
    }
    if (!confirmDriverChoice(p.infFile, p.modelName))
        return;
    Text5.setText(p.optionFlags);
    try {
        profile::ProfileStore(os.files, os.codepage).write(p);
    } catch (const platform::Error& e) {
        os.messageBoxes.show(writeFailureText(e.description()), forms::kAppTitle,
                             platform::Icon::Stop, platform::Buttons::Ok);
        return;
    }
    saved_(Text2.text());
    unload();
}

bool AdvsetForm::confirmDriverChoice(const std::string& infFile, const std::string& model) {
    platform::Services& os = runtime().services();
    auto ask = [&](const std::string& question) {
        return os.messageBoxes.show(question, kTitle, platform::Icon::Exclamation,
                                    platform::Buttons::YesNo) == platform::Answer::Yes;
    };
    if (!os.files.exists(infFile))
        return ask(infNotInFolderText(infFile));
    std::optional<inf::Document> document = readInf(infFile);
    // Only a file with makers says which models it has; the others are taken on trust.
    if (!document || !inf::hasMakers(*document) ||
        inf::declaresAnywhere(*document, os.process.target(), model)) {
        return true;
    }
    return ask(undeclaredModelQuestion(infFile, model));
}

void AdvsetForm::Command3_Click() {
    unload();
}

void AdvsetForm::Command7_Click() {
    runtime().services().messageBoxes.show(kHelpText, kHelpTitle, platform::Icon::Information,
                                           platform::Buttons::Ok);
}

}  // namespace maker
