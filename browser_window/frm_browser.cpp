#include "browser_window/frm_browser.h"

#include <optional>

#include "browser_window/frm_browser_layout.h"
#include "toolkit/file_length.h"
#include "toolkit/folder_paths.h"
#include "toolkit/visible_text.h"
#include "volume_queries/buffer_text.h"

namespace browser_window {

// Names in the messages are shown as the labels and lists show them (toolkit::visibleText): a
// message box lays out its whole text, line breaks of its own included.
namespace {

namespace attribute = platform::file_attribute;

// The show command for "Open": a normal window (SW_SHOWNORMAL).
constexpr std::int32_t showNormal = 1;

// What the user is told about a failed "Open", by ShellExecuteA's result.
const char* whyNotOpened(std::intptr_t result) {
    using platform::Platform;
    switch (result) {
        case Platform::shellFileNotFound:
            return "It cannot be found.";
        case Platform::shellNoAssociation:
            return "No program is associated with its type.";
        case Platform::shellDllNotFound:
            return "The program that opens files is not installed.";
        case Platform::shellDdeFailed:
            return "The program that opens files reported a failure.";
        default:
            return "It could not be opened.";
    }
}

}  // namespace

FrmBrowser::FrmBrowser(toolkit::Toolkit& toolkit, volume_queries::ModVolscope& modVolscope)
    : toolkit_(toolkit),
      modVolscope_(modVolscope),
      guard_(modVolscope.os()),
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
    form_->onQueryUnload([this] { Form_QueryUnload(); });
    fil.onClick([this] { fil_Click(); });
    chkReadOnly.onClick([this] { chkReadOnly_Click(); });
    chkHidden.onClick([this] { chkHidden_Click(); });
    chkArchive.onClick([this] { chkArchive_Click(); });
    chkSystem.onClick([this] { chkSystem_Click(); });
    cmdExecute.onClick([this] { cmdExecute_Click(); });
    showAttributes();
}

void FrmBrowser::Dir_Change() {
    try {
        fil.setPath(Dir.path());
        guard_.listed(fil.path());
    } catch (const toolkit::PathUnavailable&) {
        toolkit_.msgBox("The folder " + toolkit::visibleText(Dir.path()) + " cannot be read.",
                        toolkit::msgbox_style::critical, "Error");
    }
    showAttributes();
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

void FrmBrowser::Form_QueryUnload() {
    cmdClose_Click();
}

void FrmBrowser::fil_Click() {
    const std::string path = SelectedFilePath();
    guard_.selected(path);
    modVolscope_.DrawFileIcon(path, pctIcon);
    UpdateInfo();
    showAttributes();
}

void FrmBrowser::UpdateInfo() {
    constexpr std::uint32_t shortPathSize = 256;
    std::string shortPath(shortPathSize, ' ');
    const std::string path = SelectedFilePath();
    lblFullName.setCaption("Full Filename: " + path);

    platform::Platform& os = modVolscope_.os();
    os.GetShortPathNameA(path.c_str(), shortPath.data(), shortPathSize);
    lblDOSFilename.setCaption("DOS Filename: " + volume_queries::writtenText(shortPath));

    const std::optional<std::int64_t> length = toolkit::fileLength(os, path);
    if (!length) {
        // Gone, or unreadable, since the list was filled: nothing of another file may stay.
        lblSize.setCaption("Size: ");
        lblCreated.setCaption("Created: ");
        lblLastAccessed.setCaption("Last Accessed: ");
        lblLastModified.setCaption("Last Modified: ");
        toolkit_.msgBox("The file " + toolkit::visibleText(path) + " cannot be found any more.",
                        toolkit::msgbox_style::critical, "Error");
        return;
    }
    lblSize.setCaption("Size: " + std::to_string(*length) + " bytes, " +
                       std::to_string(*length / 1024) + " KB.");

    platform::FileHandle handle = platform::invalidFileHandle;
    modVolscope_.OpenFileForRead(toolkit_, path, handle);
    platform::FileTime created;
    platform::FileTime lastAccessed;
    platform::FileTime lastWritten;
    if (handle != platform::invalidFileHandle)
        os.GetFileTime(handle, &created, &lastAccessed, &lastWritten);
    lblCreated.setCaption("Created: " + modVolscope_.FormatFileTime(toolkit_, created));
    lblLastAccessed.setCaption("Last Accessed: " +
                               modVolscope_.FormatFileTime(toolkit_, lastAccessed));
    lblLastModified.setCaption("Last Modified: " +
                               modVolscope_.FormatFileTime(toolkit_, lastWritten));
    if (handle != platform::invalidFileHandle) os.CloseHandle(handle);
}

void FrmBrowser::chkReadOnly_Click() {
    writeAttribute(chkReadOnly, attribute::readOnly);
}

void FrmBrowser::chkHidden_Click() {
    writeAttribute(chkHidden, attribute::hidden);
}

void FrmBrowser::chkArchive_Click() {
    writeAttribute(chkArchive, attribute::archive);
}

void FrmBrowser::chkSystem_Click() {
    toolkit_.msgBox("This attribute of this particular file is unchangeable.",
                    toolkit::msgbox_style::okOnly, "Error");
    // The click ticked or cleared the box, and nothing was written: it shows the file's state
    // again.
    chkSystem.setValue(chkSystem.value() == 1 ? 0 : 1);
}

void FrmBrowser::cmdExecute_Click() {
    const std::string folder = toolkit::childPath(fil.path(), "");
    const std::string file = SelectedFilePath();
    if (!stillTheSelectedFile(Scope::volume, "Nothing was opened.")) return;
    const auto owner = static_cast<platform::Platform::WindowHandle>(form_->hWnd());
    const std::intptr_t result = modVolscope_.os().ShellExecuteA(owner, "open", file.c_str(), "",
                                                                 folder.c_str(), showNormal);
    if (result > 32) return;
    toolkit_.msgBox("Cannot open " + toolkit::visibleText(file) + ".  " + whyNotOpened(result),
                    toolkit::msgbox_style::critical, "Error");
}

void FrmBrowser::writeAttribute(toolkit::CheckBox& box, std::uint32_t bit) {
    // The boxes are disabled without a selection; a folder is never written to.
    if (fil.listIndex() < 0) return;
    if (!stillTheSelectedFile(Scope::file, "Nothing was changed.")) {
        box.setValue(box.value() == 1 ? 0 : 1);
        for (toolkit::CheckBox* each : {&chkReadOnly, &chkHidden, &chkArchive})
            each->setEnabled(false);
        return;
    }
    platform::Platform& os = modVolscope_.os();
    const std::string path = SelectedFilePath();
    constexpr std::uint32_t writable =
        attribute::readOnly | attribute::hidden | attribute::system | attribute::archive;
    const std::uint32_t current = os.GetFileAttributesA(path.c_str());
    bool written = false;
    bool unkept = false;
    if (current != platform::Platform::invalidFileAttributes) {
        const std::uint32_t kept = current & writable;
        written =
            os.SetFileAttributesA(path.c_str(), box.value() == 1 ? (kept | bit) : (kept & ~bit));
        unkept = !written && os.GetLastError() == platform::error_code::notSupported;
    }
    // A volume that cannot keep the attribute will never take it: the user is told so, not
    // left to try again.
    if (unkept)
        toolkit_.msgBox("The attributes of " + toolkit::visibleText(path) +
                            " could not be changed: its volume cannot keep the " + box.caption() +
                            " attribute.",
                        toolkit::msgbox_style::critical, "Error");
    else if (!written)
        toolkit_.msgBox(
            "The attributes of " + toolkit::visibleText(path) + " could not be changed.",
            toolkit::msgbox_style::critical, "Error");
    showAttributes();
}

void FrmBrowser::showAttributes() {
    // "System" is never written, so it stays enabled to answer with its message.
    toolkit::CheckBox* boxes[] = {&chkReadOnly, &chkHidden, &chkArchive};
    if (fil.listIndex() < 0) {
        for (toolkit::CheckBox* box : boxes) box->setEnabled(false);
        return;
    }
    const std::string path = SelectedFilePath();
    std::uint32_t attributes = modVolscope_.os().GetFileAttributesA(path.c_str());
    const bool reachable = attributes != platform::Platform::invalidFileAttributes;
    if (!reachable) attributes = 0;
    chkReadOnly.setValue((attributes & attribute::readOnly) ? 1 : 0);
    chkHidden.setValue((attributes & attribute::hidden) ? 1 : 0);
    chkArchive.setValue((attributes & attribute::archive) ? 1 : 0);
    chkSystem.setValue((attributes & attribute::system) ? 1 : 0);
    for (toolkit::CheckBox* box : boxes) box->setEnabled(reachable);
}

bool FrmBrowser::stillTheSelectedFile(Scope scope, std::string_view nothingDone) {
    using Finding = volume_queries::SelectedFileGuard::Finding;
    const std::string path = SelectedFilePath();
    const Finding found = guard_.check(path, scope);
    if (found == Finding::same) return true;
    const std::string what =
        found == Finding::other
            ? " is no longer the one that was listed: its drive holds another volume now, or "
              "another file has taken its name."
            : " cannot be reached any more, or it cannot be made sure that it is the file "
              "that was listed.";
    toolkit_.msgBox(
        "The file " + toolkit::visibleText(path) + what + "  " + std::string(nothingDone),
        toolkit::msgbox_style::critical, "Error");
    return false;
}

std::string FrmBrowser::SelectedFilePath() const {
    return toolkit::childPath(fil.path(), fil.fileName());
}

}  // namespace browser_window
