// The package maker's INF browser: step 1 finds the INF file, step 2 lists the models it
// declares, and the full-text scan finds them when the sections do not.

#include "forms/runtime.h"
#include "inf/models.h"
#include "ipp/model_match.h"
#include "maker/advset_form.h"
#include "maker/model_scan.h"
#include "maker/model_texts.h"
#include "profile/address_check.h"
#include "profile/profile_store.h"
#include "text/text.h"

namespace maker {

void AdvsetForm::Command6_Click() {
    // Step 1 acts once per loading of the window; the hidden list's visibility records it.
    if (File1.visible())
        return;
    File1.setVisible(true);
    // The folder's files as they are now: the technician may have put the driver there after
    // opening the window.
    File1.setItems(runtime().services().files.list(File1.pattern()));
    for (int i = 0; i < static_cast<int>(File1.items().size()); ++i)
        File1.setListIndex(i);
    if (runtime().trap([&] { File1.setListIndex(0); })) {
        runtime().services().messageBoxes.show("找不到INF檔", forms::kAppTitle,
                                               platform::Icon::None, platform::Buttons::Ok);
    }
}

void AdvsetForm::File1_Click() {
    if (File1.listIndex() >= 0)
        Text4.setText(File1.items()[File1.listIndex()]);
}

void AdvsetForm::find_INI_Click() {
    // The list is this INF's alone: models of an earlier INF would be saved with this one's name.
    if (!Combo1.items().empty())
        Combo1.clear();
    Label_reported.setText("");  // an earlier answer was matched against the earlier list
    std::optional<inf::Document> document = readInf(Text4.text());
    if (document && inf::hasMakers(*document)) {
        Combo1.setVisible(true);
        listDeclaredModels(*document);
        return;
    }
    // A file without makers is read by its sections and, failing those, its whole text.
    // ".\" keeps the INI reader in the current folder; a bare name means the Windows folder.
    const std::string path = ".\\" + Text4.text();
    if (Filename.text() == path)
        Filename_Change();  // the same file again: read it anew, the list was emptied
    else
        Filename.setText(path);
    Combo1.setVisible(true);
    bool selected = false;
    runtime().trap([&] {
        try {
            Combo1.setListIndex(reportedModelIndex());
            selected = true;
        } catch (const platform::Error& e) {
            if (e.number() != platform::errors::kInvalidIndex)
                throw;
        }
    });
    if (!selected && Combo1.items().empty())
        runtime().trap([&] { Command8_Click(); });
}

std::optional<inf::Document> AdvsetForm::readInf(const std::string& name) {
    platform::Services& os = runtime().services();
    try {
        return inf::Document::fromBytes(os.files.readAll(name), os.codepage);
    } catch (const platform::Error&) {
        return std::nullopt;  // a file that cannot be read has no models to offer
    }
}

void AdvsetForm::listDeclaredModels(const inf::Document& document) {
    platform::Services& os = runtime().services();
    const platform::WindowsTarget target = os.process.target();
    const inf::ModelList list = inf::readModels(document, target);
    if (list.models.empty()) {
        os.messageBoxes.show(noModelsText(Text4.text(), target.architecture,
                                          inf::architecturesWithModels(document, target)),
                             kTitle, platform::Icon::Exclamation, platform::Buttons::Ok);
        return;
    }
    Combo1.addItems(list.models);
    Combo1.setListIndex(reportedModelIndex());
}

int AdvsetForm::reportedModelIndex() {
    Label_reported.setText("");
    const std::vector<std::string>& models = Combo1.items();
    // Only the printer whose address the window holds is asked, and only a dotted address: a
    // network path names a shared queue, not a printer that answers IPP.
    const std::string address = Text1.text();
    if (models.empty() || !profile::isValidIpAddress(address))
        return 0;
    std::optional<std::string> reported;
    // A failed question is a printer that did not answer: the list stands as the INF gives it.
    runtime().trap([&] {
        reported =
            runtime().services().printerNetwork.printerAttribute(address, "printer-make-and-model");
    });
    if (!reported)
        return 0;
    const std::string shown = reportedModelText(*reported);
    Label_reported.setText(reportedModelLabel(*reported));
    return static_cast<int>(ipp::matchModel(models, shown).value_or(0));
}

void AdvsetForm::Filename_Change() {
    platform::Services& os = runtime().services();
    runtime().trap([&] { Sectionslist.clear(); });
    runtime().trap([&] { Entrieslist.clear(); });
    runtime().trap([&] { Value.setText(""); });
    runtime().trap(
        [&] { Sectionslist.addItems(os.profileApi.names(Filename.text(), std::nullopt)); });
    // Section 0 first, then the third, taken as the models section in the usual layout.
    runtime().trap([&] { Sectionslist.setListIndex(0); });
    runtime().trap([&] { Entrieslist.setListIndex(0); });
    runtime().trap([&] { Sectionslist.setListIndex(2); });
}

void AdvsetForm::Sectionslist_Click() {
    Entrieslist.clear();
    if (Sectionslist.listIndex() < 0)
        return;
    const std::string section = Sectionslist.items()[Sectionslist.listIndex()];
    std::vector<std::string> keys = runtime().services().profileApi.names(Filename.text(), section);
    if (keys.empty())
        return;
    // Whole lists at once: a models section may hold thousands of lines.
    Entrieslist.addItems(keys);
    Combo1ADD.addItems(keys);
    Combo1ADD.setListIndex(0);
    // A quoted key is a model name: the text between its first two quotes.
    std::vector<std::string> models;
    for (const std::string& key : keys) {
        std::vector<std::string> parts = text::split(key, "\"");
        if (parts.size() > 1)
            models.push_back(parts[1]);
    }
    // Each entry is selected in turn; only the last selection remains, and it has no reaction.
    Entrieslist.setListIndex(static_cast<int>(keys.size()) - 1);
    Combo1.addItems(models);
}

void AdvsetForm::Command1_Click() {
    txtContent.setText("");
    const std::string bytes = runtime().services().files.readAll(Text4.text());
    std::string content = profile::decodeProfileBytes(bytes, runtime().services().codepage);
    std::string lines;
    for (std::string line : text::split(content, "\n")) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines += line + "\r\n";
    }
    // The last piece after a final line break is no line of its own.
    if (!content.empty() && content.back() == '\n')
        lines.resize(lines.size() - 2);
    txtContent.setText(lines);
}

void AdvsetForm::Command4_Click() {
    platform::Services& os = runtime().services();
    os.messageBoxes.show("說明：\r\n按<開啟> 將文件內的[印表機名稱]複制出來，再貼上到欄位內。",
                         "提示", platform::Icon::Information, platform::Buttons::Ok);
    // Through the shell's open verb, not a command line: a name with blanks stays one name.
    os.shell.open(Text4.text(), "open", platform::window_style::kMaximized);
}

void AdvsetForm::Command8_Click() {
    platform::Services& os = runtime().services();
    Combo1.setVisible(true);
    const std::string bytes = os.files.readAll(Text4.text());
    if (bytes.empty())
        return;
    std::vector<std::string> found = scanModels(bytes, os.codepage);
    if (found.empty())
        return;
    Combo1.addItems(found);
    Combo1.setListIndex(reportedModelIndex());
}

}  // namespace maker
