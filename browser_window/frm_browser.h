#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/form.h"
#include "toolkit/toolkit.h"
#include "volume_queries/mod_volscope.h"
#include "volume_queries/selected_file_guard.h"

namespace browser_window {

// The file browser: a folder list and a file list over one drive, stepping through the files.
// Built from frmBrowserLayout by its owner (the main window) on first use and again after
// "Close" has unloaded it. The toolkit and the module are not owned and must outlive the window.
class FrmBrowser {
  public:
    FrmBrowser(toolkit::Toolkit& toolkit, volume_queries::ModVolscope& modVolscope);

    toolkit::Form& form() { return *form_; }

    // The folder list moved: the file list follows it, without a selection. A folder whose
    // files cannot be read is reported, and the file list stays where it was. The volume listed
    // is taken down, for the checks before a change or "Open".
    void Dir_Change();
    // ">": the next file, from the last back to the first; the first with no selection.
    void cmdNext_Click();
    // "<": the previous file, from the first round to the last; the last with no selection.
    void cmdPrev_Click();
    // "Close": unloads the window; the next "Browse..." builds it afresh.
    void cmdClose_Click();
    // The close box (the title bar's, Alt+F4): unloads the window, as "Close" does.
    void Form_QueryUnload();
    // A file was selected: which file it is is taken down (for the checks before a change or
    // "Open"), its icon is drawn, UpdateInfo fills the labels, and the attribute boxes show its
    // attributes (nothing is written).
    void fil_Click();
    // Writes the selected file's full and short path, size in bytes and whole kilobytes, and
    // its creation, last-access and last-write times (UTC) into the "File Information:" labels.
    // A file that has gone since the list was filled is reported once, and the labels then show
    // its path and nothing of another file.
    void UpdateInfo();

    // "Read Only", "Hidden", "Archive": the box's attribute of the selected file takes the box's
    // new state; every other attribute stays as it is. A change the system refuses is reported,
    // and the boxes then show the file's actual attributes. With no file selected the boxes are
    // disabled and write nothing. Nothing is written unless the file is still the one selected
    // (see stillTheSelectedFile); otherwise that is reported, the box goes back to its state and
    // the boxes are disabled until another selection.
    void chkReadOnly_Click();
    void chkHidden_Click();
    void chkArchive_Click();
    // "System": cannot be changed here; says so, and the box goes back to the state it was
    // loaded with (the file's). Nothing is ever written for it.
    void chkSystem_Click();
    // "Open": the selected file opens in the program the desktop associates with it, in a normal
    // window, with its folder as working folder; a failure is reported. Nothing is opened when
    // the file's drive no longer holds the volume that was listed, which is reported.
    void cmdExecute_Click();

    // The full DOS path of the selected file: the file list's folder, one separator and the
    // name ("C:\Data\Notes.txt", "C:\Notes.txt"); with no selection the folder followed by a
    // separator (or the bare root).
    std::string SelectedFilePath() const;

  private:
    // Writes the box's attribute bit of the selected file from the box's state.
    void writeAttribute(toolkit::CheckBox& box, std::uint32_t attribute);
    using Scope = volume_queries::SelectedFileGuard::Scope;
    // Whether SelectedFilePath() still leads where the browser listed and selected, as far as
    // `scope` asks (SelectedFileGuard::check). Otherwise a box titled "Error" names the file and
    // ends with `nothingDone`, and the result is false.
    bool stillTheSelectedFile(Scope scope, std::string_view nothingDone);
    // Loads the four attribute boxes from the selected file, and enables the three writable ones
    // when the file can be reached; with no selection those three are disabled.
    void showAttributes();

    toolkit::Toolkit& toolkit_;
    volume_queries::ModVolscope& modVolscope_;
    volume_queries::SelectedFileGuard guard_;
    std::unique_ptr<toolkit::Form> form_;

  public:
    // The controls, by their layout names.
    toolkit::DirListBox& Dir;
    toolkit::FileListBox& fil;
    toolkit::CommandButton& cmdPrev;
    toolkit::PictureBox& pctIcon;
    toolkit::CommandButton& cmdNext;
    toolkit::Label& lblFullName;
    toolkit::Label& lblDOSFilename;
    toolkit::Label& lblSize;
    toolkit::Label& lblCreated;
    toolkit::Label& lblLastModified;
    toolkit::Label& lblLastAccessed;
    toolkit::CheckBox& chkReadOnly;
    toolkit::CheckBox& chkHidden;
    toolkit::CheckBox& chkArchive;
    toolkit::CheckBox& chkSystem;
    toolkit::CommandButton& cmdExecute;
    toolkit::CommandButton& cmdClose;
};

}  // namespace browser_window
