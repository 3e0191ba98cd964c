#include "main_window/frm_main.h"

#include <utility>

#include "main_window/frm_main_layout.h"
#include "main_window/serial_number_text.h"

namespace main_window {

namespace {

constexpr const char* kilobytePattern = "###,###,###,###,##0";

// Where the drive icon rests, and how far it moves at a time, in twips.
constexpr float iconRestLeft = 1920;
constexpr float slideStep = 20;

}  // namespace

FrmMain::FrmMain(toolkit::Toolkit& toolkit, volume_queries::ModVolscope& modVolscope)
    : toolkit_(toolkit),
      modVolscope_(modVolscope),
      form_(toolkit.createForm(frmMainLayout())),
      imgDriveIcon(form_->image("imgDriveIcon")),
      cmdPrev(form_->commandButton("cmdPrev")),
      lblDriveName(form_->label("lblDriveName")),
      cmdNext(form_->commandButton("cmdNext")),
      lblVolumeName(form_->label("lblVolumeName")),
      lblSerialNumber(form_->label("lblSerialNumber")),
      lblMaxCompLen(form_->label("lblMaxCompLen")),
      lblFileSystemName(form_->label("lblFileSystemName")),
      lblDIskSpaceUsage(form_->label("lblDIskSpaceUsage")),
      pctValue(form_->pictureBox("pctValue")),
      shpValue(form_->shape("shpValue")),
      lblUsedTotal(form_->label("lblUsedTotal")),
      lblTotalClusters(form_->label("lblTotalClusters")),
      lblSectorsPerCluster(form_->label("lblSectorsPerCluster")),
      lblBytesPerSector(form_->label("lblBytesPerSector")),
      cmdBrowse(form_->commandButton("cmdBrowse")),
      cmdExit(form_->commandButton("cmdExit")),
      imgNonExist(form_->image("imgNonExist")),
      imgDrive(form_->image("imgDrive")),
      imgRemovable(form_->image("imgRemovable")),
      imgNetwork(form_->image("imgNetwork")),
      imgCD(form_->image("imgCD")),
      imgRamDisk(form_->image("imgRamDisk")),
      imgUnknown(form_->image("imgUnknown")) {
    form_->onLoad([this] { Form_Load(); });
    form_->onKeyDown(
        [this](std::int16_t& keyCode, std::int16_t shift) { Form_KeyDown(keyCode, shift); });
    cmdExit.onClick([this] { cmdExit_Click(); });
    form_->onQueryUnload([this] { Form_QueryUnload(); });
    cmdBrowse.onClick([this] { cmdBrowse_Click(); });
    imgDriveIcon.onClick([this] { imgDriveIcon_Click(); });
    form_->onResize([this] { Form_Resize(); });
    cmdNext.onClick([this] { cmdNext_Click(); });
    cmdPrev.onClick([this] { cmdPrev_Click(); });
    cmdNext.onMouseUp([this](int button, std::int16_t shift, float x, float y) {
        cmdNext_MouseUp(button, shift, x, y);
    });
    cmdPrev.onMouseUp([this](int button, std::int16_t shift, float x, float y) {
        cmdPrev_MouseUp(button, shift, x, y);
    });
    form_->onDeviceChange([this] { Form_DeviceChange(); });
}

void FrmMain::Form_Load() {
    modVolscope_.CurrentDrive = "C";
    imgDriveIcon.setPicture(imgDrive.picture());
    UpdateVolscope();
}

void FrmMain::cmdExit_Click() {
    toolkit_.end();
}

void FrmMain::Form_QueryUnload() {
    cmdExit_Click();
}

void FrmMain::cmdNext_Click() {
    std::string& drive = modVolscope_.CurrentDrive;
    if (drive == "Z") return;
    const StepRunning step(*this);
    lblDriveName.setCaption("");
    slideIcon(imgDriveIcon.left(), -imgDriveIcon.width(), -slideStep);
    showPictureOf(modVolscope_.NextDriveType());
    slideIcon(form_->width(), iconRestLeft, -slideStep);
    // A step nested in this one's slides may have reached the end already.
    if (drive != "Z") drive = std::string(1, static_cast<char>(drive[0] + 1));
    lblDriveName.setCaption(drive);
    UpdateVolscope();
    endStep();
}

void FrmMain::cmdPrev_Click() {
    std::string& drive = modVolscope_.CurrentDrive;
    if (drive == "A") return;
    const StepRunning step(*this);
    lblDriveName.setCaption("");
    slideIcon(iconRestLeft, form_->width(), slideStep);
    showPictureOf(modVolscope_.PrevDriveType());
    slideIcon(0, iconRestLeft, slideStep);
    if (drive != "A") drive = std::string(1, static_cast<char>(drive[0] - 1));
    lblDriveName.setCaption(drive);
    UpdateVolscope();
    endStep();
}

void FrmMain::cmdBrowse_Click() {
    const std::string root = volume_queries::ModVolscope::driveRoot(modVolscope_.CurrentDrive);
    if (modVolscope_.os().GetDriveTypeA(root.c_str()) == platform::drive_type::noRootDir) {
        toolkit_.msgBox("This drive does not exist or is unavailable.",
                        toolkit::msgbox_style::okOnly, "Error");
        return;
    }
    try {
        browser_window::FrmBrowser& browser = frmBrowser();
        browser.form().show();
        browser.Dir.setPath(root);
    } catch (const std::exception&) {
        toolkit_.msgBox(
            "An error has occurred while trying to browse this drive.  Make sure the disk is "
            "properly insterted, or properly connected physically.",
            toolkit::msgbox_style::okOnly, "Error");
        frmBrowser().form().hide();
    }
}

std::array<FrmMain::DriveKind, 7> FrmMain::driveKinds() const {
    return {{
        {&imgDrive, "fixed hard disk",
         " is a fixed hard disk.  These cannot be removed while the computer is running."},
        {&imgCD, "CD-ROM drive",
         " is a CD-ROM drive.  These drives can have CD's ejected or inserted into them."},
        {&imgNonExist, "no drive",
         " does not exist, or is unavailable right now.  It is undeterminable what it is."},
        {&imgNetwork, "mapped network drive",
         " is a mapped network drive.  These are like fixed disks, only on a different computer."},
        {&imgRemovable, "removable disk drive",
         " is a removable disk drive.  These can range from floopy disk drives to ZiP disks."},
        {&imgRamDisk, "RAM disk",
         " is a RAM disk.  Its contents are lost when the computer is turned off."},
        {&imgUnknown, "drive of unknown kind",
         " is a drive of a kind that cannot be determined.  The system does not say what it is."},
    }};
}

void FrmMain::imgDriveIcon_Click() {
    const toolkit::Picture shown = imgDriveIcon.picture();
    if (shown.empty()) return;
    for (const DriveKind& kind : driveKinds()) {
        if (kind.store->picture() == shown) {
            toolkit_.msgBox("Drive " + modVolscope_.CurrentDrive + kind.explanation,
                            toolkit::msgbox_style::okOnly, toolkit_.appTitle());
            return;
        }
    }
}

void FrmMain::nameDriveIcon() {
    const toolkit::Picture shown = imgDriveIcon.picture();
    for (const DriveKind& kind : driveKinds()) {
        if (!shown.empty() && kind.store->picture() == shown) {
            imgDriveIcon.setAccessibleName("Drive " + modVolscope_.CurrentDrive + ": " +
                                           kind.shows);
            return;
        }
    }
}

void FrmMain::Form_Resize() {
    const int state = form_->windowState();
    if (state == toolkit::window_state::minimized) {
        const bool browserShown =
            frmBrowser_ && !frmBrowser_->form().unloaded() && frmBrowser_->form().visible();
        if (browserShown) frmBrowser_->form().hide();
        BrowserWasVisible = browserShown;
    } else if (state == toolkit::window_state::normal && BrowserWasVisible && frmBrowser_ &&
               !frmBrowser_->form().unloaded()) {
        frmBrowser_->form().show();
    }
}

browser_window::FrmBrowser& FrmMain::frmBrowser() {
    // An unloaded browser is discarded here, outside its own handlers.
    if (!frmBrowser_ || frmBrowser_->form().unloaded())
        frmBrowser_ = std::make_unique<browser_window::FrmBrowser>(toolkit_, modVolscope_);
    return *frmBrowser_;
}

void FrmMain::cmdNext_MouseUp(int, std::int16_t, float, float) {
    form_->setFocus();
}

void FrmMain::cmdPrev_MouseUp(int, std::int16_t, float, float) {
    form_->setFocus();
}

void FrmMain::Form_KeyDown(std::int16_t& keyCode, std::int16_t) {
    if (KeyStepBusy) return;
    KeyStepBusy = true;
    std::string& drive = modVolscope_.CurrentDrive;
    if (keyCode == toolkit::key_code::right) {
        cmdNext_Click();
    } else if (keyCode == toolkit::key_code::left) {
        cmdPrev_Click();
    } else if (keyCode >= toolkit::key_code::a && keyCode <= toolkit::key_code::z) {
        // One slide reaches the typed letter: start from its neighbour, so the picture that
        // slides in is the typed letter's.
        const int current = drive[0];
        if (current < keyCode) {
            drive = std::string(1, static_cast<char>(keyCode - 1));
            cmdNext_Click();
        } else if (keyCode < current) {
            drive = std::string(1, static_cast<char>(keyCode + 1));
            cmdPrev_Click();
        }
    }
    KeyStepBusy = false;
}

void FrmMain::showPictureOf(std::optional<std::uint32_t> driveType) {
    namespace type = platform::drive_type;
    if (driveType == type::fixed)
        imgDriveIcon.setPicture(imgDrive.picture());
    else if (driveType == type::cdrom)
        imgDriveIcon.setPicture(imgCD.picture());
    else if (driveType == type::remote)
        imgDriveIcon.setPicture(imgNetwork.picture());
    else if (driveType == type::removable)
        imgDriveIcon.setPicture(imgRemovable.picture());
    else if (driveType == type::noRootDir)
        imgDriveIcon.setPicture(imgNonExist.picture());
    else if (driveType == type::ramdisk)
        imgDriveIcon.setPicture(imgRamDisk.picture());
    else if (driveType == type::unknown)
        imgDriveIcon.setPicture(imgUnknown.picture());
    nameDriveIcon();
}

void FrmMain::slideIcon(float first, float bound, float step) {
    for (float left = first; step < 0 ? left >= bound : left <= bound; left += step) {
        imgDriveIcon.setLeft(left);
        toolkit_.doEvents();
    }
}

void FrmMain::Form_DeviceChange() {
    if (modVolscope_.CurrentDrive.empty()) return;
    if (stepsRunning_ > 0) {
        deviceChangedInStep_ = true;
        return;
    }
    showCurrentPicture();
    UpdateVolscope();
}

void FrmMain::endStep() {
    // The step has shown its letter's details already; only its picture may be out of date.
    if (stepsRunning_ == 1 && deviceChangedInStep_) {
        deviceChangedInStep_ = false;
        showCurrentPicture();
    }
}

void FrmMain::showCurrentPicture() {
    const std::string root = volume_queries::ModVolscope::driveRoot(modVolscope_.CurrentDrive);
    showPictureOf(modVolscope_.os().GetDriveTypeA(root.c_str()));
}

void FrmMain::UpdateVolscope() {
    // The system's answers rather than the 32-bit record: most disks today hold more than its
    // 2 GiB, and are shown in full all the same.
    const volume_queries::VolumeAnswers volume = modVolscope_.QueryVolume();

    lblVolumeName.setCaption("Volume Name: " + volume.volumeName);
    lblSerialNumber.setCaption("Volume Serial Number: " + serialNumberText(volume.serialNumber));
    lblMaxCompLen.setCaption("Maximum Filename Length: " +
                             std::to_string(volume.maxComponentLength));

    const double freeBytes = static_cast<double>(volume.freeBytes());
    const double totalBytes = static_cast<double>(volume.totalBytes());
    shpValue.setWidth(static_cast<float>(freeBytes / (totalBytes + 1) * pctValue.width()));
    pctValue.setMeterValue(totalBytes > 0 ? freeBytes / totalBytes * 100 : 0);

    const double totalKb = totalBytes / 1024;
    const double usedKb = totalKb - freeBytes / 1024;
    lblUsedTotal.setCaption("Used / Total: " + toolkit_.format(usedKb, kilobytePattern) + "KB / " +
                            toolkit_.format(totalKb, kilobytePattern) + "KB");

    lblFileSystemName.setCaption("File System: " + volume.fileSystemName);
    lblBytesPerSector.setCaption("Number of Bytes per Sector: " +
                                 std::to_string(volume.bytesPerSector));
    lblSectorsPerCluster.setCaption("Number of Sectors per Cluster: " +
                                    std::to_string(volume.sectorsPerCluster));
    lblTotalClusters.setCaption("Total Number of Clusters: " +
                                std::to_string(volume.totalClusters));
    nameDriveIcon();
}

}  // namespace main_window
