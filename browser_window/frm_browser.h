#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/form.h"
#include "toolkit/toolkit.h"

namespace browser_window {

// The file browser: a folder list and a file list over one drive, stepping through the files.
// Built from frmBrowserLayout by its owner (the main window) on first use and again after
// "Close" has unloaded it. The toolkit is not owned and must outlive the window.
class FrmBrowser {
  public:
    explicit FrmBrowser(toolkit::Toolkit& toolkit);

    toolkit::Form& form() { return *form_; }

    // The folder list moved: the file list follows it, without a selection. A folder whose
    // files cannot be read is reported, and the file list stays where it was.
    void Dir_Change();
    // ">": the next file, from the last back to the first; the first with no selection.
    void cmdNext_Click();
    // "<": the previous file, from the first round to the last; the last with no selection.
    void cmdPrev_Click();
    // "Close": unloads the window; the next "Browse..." builds it afresh.
    void cmdClose_Click();

    // The full DOS path of the selected file: the file list's folder, one separator and the
    // name ("C:\Data\Notes.txt", "C:\Notes.txt"); with no selection the folder followed by a
    // separator (or the bare root).
    std::string SelectedFilePath() const;

  private:
    toolkit::Toolkit& toolkit_;
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
