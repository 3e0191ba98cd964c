#include "main_window/frm_main.h"

#include "main_window/frm_main_layout.h"
#include "main_window/volume_figures.h"
#include "volume_queries/arithmetic_overflow.h"

namespace main_window {

namespace {

constexpr const char* kilobytePattern = "###,###,###,###,##0";

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
      imgCD(form_->image("imgCD")) {
    form_->onLoad([this] { Form_Load(); });
    cmdExit.onClick([this] { cmdExit_Click(); });
}

void FrmMain::Form_Load() {
    modVolscope_.CurrentDrive = "C";
    imgDriveIcon.setPicture(imgDrive.picture());
    UpdateVolscope();
}

void FrmMain::cmdExit_Click() {
    toolkit_.end();
}

void FrmMain::UpdateVolscope() {
    volume_queries::VolumeDetails details;
    volume_queries::VolumeAnswers answers;
    VolumeFigures volume;
    try {
        modVolscope_.QueryVolumeDetails(details, &answers);
        volume = VolumeFigures::fromDetails(details);
    } catch (const volume_queries::ArithmeticOverflow&) {
        // Most disks today hold more than the record's 2 GiB; they are shown in full all the
        // same, from the answers the query received.
        volume = VolumeFigures::fromAnswers(answers);
    }

    lblVolumeName.setCaption("Volume Name: " + volume.volumeName);
    lblSerialNumber.setCaption("Volume Serial Number: " + serialNumberText(volume.serialNumber));
    lblMaxCompLen.setCaption("Maximum Filename Length: " +
                             std::to_string(volume.maxComponentLength));

    const double freeBytes = static_cast<double>(volume.freeBytes);
    const double totalBytes = static_cast<double>(volume.totalBytes);
    shpValue.setWidth(static_cast<float>(freeBytes / (totalBytes + 1) * pctValue.width()));

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
}

}  // namespace main_window
