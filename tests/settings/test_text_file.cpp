// Saving over an existing settings or configuration file changes its content and nothing else:
// links, owner, mode and a read-only folder around a writable file all stay as they were.
#include <gtest/gtest.h>

#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/settings_test_support.h"
#include "settings/text_file.h"

namespace {

// Prepares the surroundings of `file` (which exists, holding "old"); returns the reason when this
// machine cannot show the case, and gives back what to undo afterwards.
struct Surroundings {
    const char* Name;
    std::function<std::string(const std::string& folder, const std::string& file, std::function<void()>& undo)> Make;
    std::function<void(const std::string& folder, const std::string& file)> Check;
};

bool MountReadOnlyAround(const std::string& folder, const std::string& file, const std::string& writable,
    std::function<void()>& undo)
{
    // The folder becomes read-only; the file inside stays writable through its own bind mount.
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0)
        return false;
    if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0
        || ::mount(writable.c_str(), file.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        (void)::umount(folder.c_str());
        return false;
    }
    undo = [folder, file] {
        (void)::umount(file.c_str());
        (void)::umount(folder.c_str());
    };
    return true;
}

struct stat StatOf(const std::string& path)
{
    struct stat info { };
    (void)::stat(path.c_str(), &info);
    return info;
}

const Surroundings kCases[] = {
    { "a second hard link",
        [](const std::string& folder, const std::string& file, std::function<void()>&) {
            return ::link(file.c_str(), (folder + "/other-name.ini").c_str()) == 0 ? "" : "no hard links here";
        },
        [](const std::string& folder, const std::string& file) {
            EXPECT_EQ(CSettingsFolder::Read(folder + "/other-name.ini"), "new\r\n") << "the links were split";
            EXPECT_EQ(StatOf(file).st_nlink, 2U);
        } },
    { "a mode of its own",
        [](const std::string&, const std::string& file, std::function<void()>&) {
            return ::chmod(file.c_str(), 0604) == 0 ? "" : "cannot change the mode";
        },
        [](const std::string&, const std::string& file) { EXPECT_EQ(StatOf(file).st_mode & 07777, 0604U); } },
    { "another owner",
        [](const std::string&, const std::string& file, std::function<void()>&) {
            if (::geteuid() != 0)
                return "only a privileged saver keeps another user's ownership";
            return ::chown(file.c_str(), 4321, 4322) == 0 ? "" : "cannot change the owner";
        },
        [](const std::string&, const std::string& file) {
            EXPECT_EQ(StatOf(file).st_uid, 4321U);
            EXPECT_EQ(StatOf(file).st_gid, 4322U);
        } },
    { "a read-only folder",
        [](const std::string& folder, const std::string& file, std::function<void()>& undo) -> std::string {
            if (::geteuid() != 0) {
                // Permission bits hold for an unprivileged saver.
                undo = [folder] { (void)::chmod(folder.c_str(), 0755); };
                return ::chmod(folder.c_str(), 0555) == 0 ? "" : "cannot change the folder's mode";
            }
            const std::string writable = folder + "-writable.ini";
            std::filesystem::copy_file(file, writable);
            if (!MountReadOnlyAround(folder, file, writable, undo))
                return "running as root without the right to mount a read-only folder";
            return "";
        },
        [](const std::string&, const std::string&) {} },
};

} // namespace

TEST(TextFile, ASaveChangesTheContentAndNothingAroundIt)
{
    for (const Surroundings& surroundings : kCases) {
        SCOPED_TRACE(surroundings.Name);
        CSettingsFolder folder;
        const std::string file = folder / "Vx6207App.ini";
        ASSERT_TRUE(ReplaceTextFile(file, "old\n"));
        std::function<void()> undo = [] {};
        const std::string reason = surroundings.Make(folder.Path(), file, undo);
        if (!reason.empty()) {
            std::printf("skipping %s: %s\n", surroundings.Name, reason.c_str());
            continue;
        }
        const ino_t inode = StatOf(file).st_ino;
        EXPECT_TRUE(ReplaceTextFile(file, "new\n"));
        EXPECT_EQ(CSettingsFolder::Read(file), "new\r\n");
        surroundings.Check(folder.Path(), file);
        const std::string name = surroundings.Name;
        if (name != "a mode of its own" && name != "another owner") {
            EXPECT_EQ(StatOf(file).st_ino, inode) << "written in place";
        }
        undo();
        std::filesystem::remove(folder.Path() + "-writable.ini");
    }
}
