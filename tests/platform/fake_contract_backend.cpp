#include "tests/platform/contract_backend.h"
#include "tests/support/fake_platform.h"

namespace contract {

namespace {

class FakeBackend final : public Backend {
  public:
    std::string setUp() override {
        known_ = {'E', platform::drive_type::fixed, "  Contract  ", 0x1A2B3C4DU, "NTFS"};
        fake::Drive drive;
        drive.type = known_.type;
        drive.label = known_.label;
        drive.serialNumber = known_.serialNumber;
        drive.fileSystem = known_.fileSystem;
        drive.sectorsPerCluster = 8;
        drive.bytesPerSector = 512;
        drive.freeClusters = 300;
        drive.totalClusters = 1000;
        platform_.setDrive(known_.letter, drive);

        const std::string folder = std::string{known_.letter} + ":\\" + KnownFolder{}.name;
        for (const KnownEntry& entry : KnownFolder{}.entries) {
            if ((entry.attributes & platform::file_attribute::directory) != 0)
                platform_.addFolder(folder + "\\" + entry.name, entry.attributes);
            else
                platform_.addFile(folder + "\\" + entry.name, {entry.attributes, entry.size});
        }
        platform_.addFile(folder + "\\Sub\\inner.txt");

        fake::File known;
        known.size = knownFile_.size;
        known.creationTime = knownFile_.lastWriteTime;
        known.lastAccessTime = knownFile_.lastAccessTime;
        known.lastWriteTime = knownFile_.lastWriteTime;
        platform_.addFile(knownPath(), known);
        platform_.setExtensionIcon("txt", "text-x-generic");
        platform_.setDrive('F', {});
        return "";
    }
    platform::Platform& platform() override { return platform_; }
    const KnownDrive& knownDrive() const override { return known_; }
    char emptyLetter() override { return 'Q'; }
    char emptyRootLetter() override { return 'F'; }
    std::uint64_t totalBytes() override { return 1000 * 8 * 512; }
    std::uint64_t freeBytes() override { return 300 * 8 * 512; }
    std::string makeFile(const std::string& name) override {
        const std::string path =
            std::string{known_.letter} + ":\\" + KnownFolder{}.name + "\\" + name;
        platform_.addFile(path);
        return path;
    }
    std::shared_ptr<void> holdKnownFileOpenForWriting() override {
        platform_.setHeldForWriting(knownPath());
        return {nullptr, [this](void*) { platform_.setHeldForWriting(knownPath(), false); }};
    }

  private:
    std::string knownPath() const { return std::string{known_.letter} + ":\\" + knownFile_.name; }

    fake::Platform platform_;
    KnownDrive known_;
    const KnownFile knownFile_;
};

}  // namespace

std::unique_ptr<Backend> makeFakeBackend() {
    return std::make_unique<FakeBackend>();
}

}  // namespace contract
