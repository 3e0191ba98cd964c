#pragma once

#include <memory>

#include "toolkit/form.h"
#include "toolkit/toolkit.h"
#include "volume_queries/mod_volscope.h"

namespace main_window {

// The main window: the current drive letter, its drive picture and its volume details. Built
// once at start-up from frmMainLayout and alive for the whole run. The toolkit and the module
// are not owned and must outlive the window.
class FrmMain {
  public:
    FrmMain(toolkit::Toolkit& toolkit, volume_queries::ModVolscope& modVolscope);

    toolkit::Form& form() { return *form_; }

    // Start-up: the current drive becomes "C" with the fixed-disk picture, whatever C really is,
    // and the details of C are shown.
    void Form_Load();
    // "Close": ends the program at once.
    void cmdExit_Click();
    // Writes the details of the current drive's volume into the labels and the usage bar. A
    // volume too large for the 32-bit record is still shown in full from the same answers.
    void UpdateVolscope();

  private:
    toolkit::Toolkit& toolkit_;
    volume_queries::ModVolscope& modVolscope_;
    std::unique_ptr<toolkit::Form> form_;

  public:
    // The controls, by their layout names.
    toolkit::Image& imgDriveIcon;
    toolkit::CommandButton& cmdPrev;
    toolkit::Label& lblDriveName;
    toolkit::CommandButton& cmdNext;
    toolkit::Label& lblVolumeName;
    toolkit::Label& lblSerialNumber;
    toolkit::Label& lblMaxCompLen;
    toolkit::Label& lblFileSystemName;
    toolkit::Label& lblDIskSpaceUsage;
    toolkit::PictureBox& pctValue;
    toolkit::Shape& shpValue;
    toolkit::Label& lblUsedTotal;
    toolkit::Label& lblTotalClusters;
    toolkit::Label& lblSectorsPerCluster;
    toolkit::Label& lblBytesPerSector;
    toolkit::CommandButton& cmdBrowse;
    toolkit::CommandButton& cmdExit;
    toolkit::Image& imgNonExist;
    toolkit::Image& imgDrive;
    toolkit::Image& imgRemovable;
    toolkit::Image& imgNetwork;
    toolkit::Image& imgCD;
};

}  // namespace main_window
