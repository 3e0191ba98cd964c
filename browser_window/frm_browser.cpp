#include "browser_window/frm_browser.h"

#include "browser_window/frm_browser_layout.h"
#include "toolkit/folder_listing.h"

namespace browser_window {

FrmBrowser::FrmBrowser(toolkit::Toolkit& toolkit)
    : toolkit_(toolkit),
      form_(toolkit.createForm(frmBrowserLayout())),
      Dir(form_->dirListBox("Dir")),
      fil(form_->fileListBox("fil")),
      cmdPrev(form_->commandButton("cmdPrev")),
      pctIcon(form_->pictureBox("pctIcon")),
      cmdNext(form_->commandButton("cmdNext")),
      lblFullName(form_->label("lblFullName")),
      lblDOSFilename(form_->label("lblDOSFilename")),
      lblSize(form_->label("lblSize")),
      lblCreated(form_->label("lblCreated")),
      lblLastModified(form_->label("lblLastModified")),
      lblLastAccessed(form_->label("lblLastAccessed")),
      chkReadOnly(form_->checkBox("chkReadOnly")),
      chkHidden(form_->checkBox("chkHidden")),
      chkArchive(form_->checkBox("chkArchive")),
      chkSystem(form_->checkBox("chkSystem")),
      cmdExecute(form_->commandButton("cmdExecute")),
      cmdClose(form_->commandButton("cmdClose")) {
    Dir.onChange([this] { Dir_Change(); });
    cmdNext.onClick([this] { cmdNext_Click(); });
    cmdPrev.onClick([this] { cmdPrev_Click(); });
    cmdClose.onClick([this] { cmdClose_Click(); });
}

void FrmBrowser::Dir_Change() {
    try {
        fil.setPath(Dir.path());
    } catch (const toolkit::PathUnavailable&) {
        toolkit_.msgBox("The folder " + Dir.path() + " cannot be read.", 16, "Error");
    }
}

void FrmBrowser::cmdNext_Click() {
    const std::int32_t count = fil.listCount();
    if (count == 0) return;
    const std::int32_t index = fil.listIndex();
    fil.setListIndex(index >= count - 1 ? 0 : index + 1);
}

void FrmBrowser::cmdPrev_Click() {
    const std::int32_t count = fil.listCount();
    if (count == 0) return;
    const std::int32_t index = fil.listIndex();
    // With no selection "<" starts from the end, as it does from the first file.
    fil.setListIndex(index <= 0 ? count - 1 : index - 1);
}

void FrmBrowser::cmdClose_Click() {
    form_->unload();
}

std::string FrmBrowser::SelectedFilePath() const {
    return toolkit::childPath(fil.path(), fil.fileName());
}

}  // namespace browser_window
