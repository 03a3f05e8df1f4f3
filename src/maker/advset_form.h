#pragma once
// The package maker: the technician picks the INF file and model, names the printer, sets
// the install options and saves the profile.

#include <functional>
#include <optional>
#include <string>

#include "forms/control.h"
#include "forms/form.h"
#include "inf/document.h"
#include "profile/two_printers.h"

namespace maker {

using profile::kBlackFile;
using profile::kColorFile;
inline constexpr const char* kTitle = "一鍵安裝製作";

class AdvsetForm : public forms::Form {
  public:
    // saved is told the printer name of each profile saved, for the main window to show.
    AdvsetForm(forms::Runtime& runtime, std::function<void(const std::string&)> saved);

    void Form_Load() override;
    void Check2_Click();
    void Check3_Click();
    void Label_Default_Click();
    void Label_set_Click();
    void Label_setup_bc_Click();
    void Combo1_Click();
    void Combo1_Change();
    void Text3_Change();
    void Text3_Click();
    void Command2_Click();
    void Command3_Click();
    void Command7_Click();
    // Recording printing preferences.
    void Command5_Click();
    void cmdCBset_Click();
    // The INF browser and the model scan.
    void Command6_Click();
    void File1_Click();
    void find_INI_Click();
    void Filename_Change();
    void Sectionslist_Click();
    void Command1_Click();
    void Command4_Click();
    void Command8_Click();

    // Step 1: the INF file.
    forms::Label Label3_0;
    forms::Frame Frame1;
    forms::TextBox Text4;
    forms::CommandButton Command6;
    // Step 2: the model.
    forms::Label Label3_1;
    forms::Frame Frame2;
    forms::TextBox Text3;
    forms::ComboBox Combo1;
    forms::CommandButton find_INI;
    // What the printer at the address reports itself to be, under the list.
    forms::Label Label_reported;
    // The printer's name.
    forms::Label Label4;
    forms::Frame Frame3;
    forms::TextBox Text2;
    // The options.
    forms::Frame Frame5;
    forms::CheckBox Check1;
    forms::CheckBox Check2;
    forms::CheckBox Check3;
    // Preference files, one printer and two printers, sharing one place.
    forms::Frame Frame8;
    forms::CommandButton Command5;
    forms::Label Label7;
    forms::Label Label5;
    forms::Label Label8;
    forms::Frame Frame6;
    forms::CommandButton cmdCBset;
    forms::Label Label10;
    forms::Label Label6;
    forms::Label Label9;
    // Bottom row.
    forms::Frame Frame7;
    forms::CommandButton Command7;
    forms::CommandButton Command2;
    forms::CommandButton Command3;
    // Outside the visible area: the INF browser and the values carried through.
    forms::Frame INI_MODE;
    forms::Label Filenamelabel;
    forms::TextBox Filename;
    forms::Label Sectionslabel;
    forms::ComboBox Sectionslist;
    forms::Label Entrieslabel;
    forms::ListBox Entrieslist;
    forms::Label Valuelabel;
    forms::TextBox Value;
    forms::ComboBox Combo1ADD;
    forms::FileListBox File1;
    forms::CommandButton Command8;
    forms::CommandButton Command1;
    forms::CommandButton Command4;
    forms::TextBox txtContent;
    forms::Frame Frame4;
    forms::TextBox Text1;
    forms::TextBox Text5;
    forms::Label Label_Default;
    forms::Label Label_set;
    forms::Label Label_setup_bc;

    // Why the profile this window loaded cannot be written back as it was read, or nothing
    // when it was read whole.
    const std::optional<std::string>& profileDamage() const { return damage_; }

  private:
    bool exists(const char* name);
    // The INF file's text, or nothing when it cannot be read.
    std::optional<inf::Document> readInf(const std::string& name);
    // Step 2 for an INF with makers: the models it declares for this PC.
    void listDeclaredModels(const inf::Document& document);
    // The entry of the filled model list to select: the one the printer at the address box
    // reports itself to be, or the first. Shows the printer's answer under the list.
    int reportedModelIndex();
    // The questions before saving a profile whose INF or model the end user's PC cannot use;
    // true when the technician saves all the same.
    bool confirmDriverChoice(const std::string& infFile, const std::string& model);
    // The question before recording; true for Yes.
    bool askToRecord(const char* question);
    // Tells and returns true when a printer of that name cannot be recorded.
    bool refuseRecording(const std::string& printerName);
    std::optional<std::string> damage_;
    std::function<void(const std::string&)> saved_;
};

}  // namespace maker
