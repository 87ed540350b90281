#pragma once

// A second account, made by useradd for one test and removed with it, for the
// cases in which a run as root meets another user's files. Needs root.

#include <sys/types.h>
#include <QString>

class OtherUser {
public:
    OtherUser();
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    bool isThere() const { return userId != 0; }
    uid_t uid() const { return userId; }
    gid_t gid() const { return groupId; }
    // Gives path (not what a link there points at) to this user.
    bool owns(const QString& path) const;

private:
    QString account;
    uid_t userId = 0;
    gid_t groupId = 0;
};

inline constexpr const char* kNeedsOtherUser = "needs root and useradd to make a second user";
