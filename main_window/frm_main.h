#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "browser_window/frm_browser.h"
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
    // The close box (the title bar's, Alt+F4): ends the program at once, as "Close" does, with
    // the browser too.
    void Form_QueryUnload();

    // ">": one letter forward, with the drive icon sliding out to the left and back in from the
    // right edge showing the next letter's kind of drive; nothing at "Z". Each move of the slide
    // lets pending events run, so another step can run nested inside this one; the letter never
    // leaves "A" to "Z" all the same.
    void cmdNext_Click();
    // "<": one letter back, sliding out to the right and in from the left; nothing at "A".
    void cmdPrev_Click();
    // "Browse...": shows the browser on the current drive's root, building it first if needed. A
    // letter without a drive, or a drive whose root cannot be read, is answered with a message.
    void cmdBrowse_Click();
    // The browser window as it stands now, built on first use and again after it was unloaded.
    browser_window::FrmBrowser& frmBrowser();

    // A click on the drive icon explains, in a box titled "Volscope", the kind of drive its picture
    // shows, for the current letter.
    void imgDriveIcon_Click();
    // Minimizing hides an open browser; restoring shows it again as it was.
    void Form_Resize();

    // A mouse button released on a step button hands the keyboard focus back to the window.
    void cmdNext_MouseUp(int button, std::int16_t shift, float x, float y);
    void cmdPrev_MouseUp(int button, std::int16_t shift, float x, float y);
    // Right and left arrows step; a letter key goes to that letter in one slide. A key pressed
    // while a key-started step runs is dropped.
    void Form_KeyDown(std::int16_t& keyCode, std::int16_t shift);
    // Writes the details of the current drive's volume into the labels and the usage bar, in
    // full however large the volume is.
    void UpdateVolscope();
    // A volume came or went: the drive icon takes the picture of the current letter's kind of
    // drive as it is now, and its details are shown afresh, without a slide. While a step runs,
    // the step's own end does this instead, once the letter it goes to is shown, so that the
    // picture sliding in is never swapped for the letter being left.
    void Form_DeviceChange();

    // True while a step started from the keyboard runs.
    bool KeyStepBusy = false;
    // True when the browser was open as the window was last minimized, and was hidden for it.
    bool BrowserWasVisible = false;

  private:
    // A picture store, what its picture shows and what the drive icon's click says of it.
    struct DriveKind {
        const toolkit::Image* store;
        const char* shows;
        const char* explanation;
    };
    // The stores in the order their pictures are told apart.
    std::array<DriveKind, 7> driveKinds() const;
    // The picture of the kind of drive a type code stands for, put on the drive icon; codes
    // without a picture (above 6, no value) leave the icon as it is.
    void showPictureOf(std::optional<std::uint32_t> driveType);
    // Names the drive icon for screen readers after its letter and what its picture shows.
    void nameDriveIcon();
    // Moves the icon from `first` by `step` twips while it stays within `bound`, letting pending
    // events run after each move.
    void slideIcon(float first, float bound, float step);
    // Counts a step (cmdNext_Click, cmdPrev_Click) while it runs.
    class StepRunning {
      public:
        explicit StepRunning(FrmMain& window) : window_(window) { ++window_.stepsRunning_; }
        ~StepRunning() { --window_.stepsRunning_; }
        StepRunning(const StepRunning&) = delete;
        StepRunning& operator=(const StepRunning&) = delete;

      private:
        FrmMain& window_;
    };
    // The end of a step: when it is the last one running and a volume came or went meanwhile,
    // the icon takes the picture of the letter reached as it is now.
    void endStep();
    // The picture of the current letter's kind of drive, asked afresh.
    void showCurrentPicture();

    toolkit::Toolkit& toolkit_;
    volume_queries::ModVolscope& modVolscope_;
    std::unique_ptr<toolkit::Form> form_;
    std::unique_ptr<browser_window::FrmBrowser> frmBrowser_;
    int stepsRunning_ = 0;
    bool deviceChangedInStep_ = false;

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
    toolkit::Image& imgRamDisk;
    toolkit::Image& imgUnknown;
};

}  // namespace main_window
