#pragma once

// A second account on the machine, made for one test and removed with it, for
// the cases in which a run as root meets the files of another user. Making
// one needs root and useradd; isThere() says whether it was made.

#include <sys/types.h>
#include <QString>

class OtherUser {
public:
    OtherUser();
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    bool isThere() const { return made; }
    QString name() const { return account; }
    uid_t uid() const { return userId; }
    gid_t gid() const { return groupId; }

    // Gives path (not what a link there points at) to this user.
    bool owns(const QString& path) const;

private:
    QString account;
    uid_t userId = 0;
    gid_t groupId = 0;
    bool made = false;
};

// The reason a test that needs another user gives when it skips.
inline constexpr const char* kNeedsOtherUser = "needs root and useradd to make a second user";
