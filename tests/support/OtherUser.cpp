#include "support/OtherUser.h"

#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// useradd and userdel give up when another of them holds the account files:
// the tests that run side by side take turns through this lock.
class AccountFilesTurn {
public:
    AccountFilesTurn()
        : fd(::open("/run/lock/kavelo-test-accounts", O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (fd >= 0)
            ::flock(fd, LOCK_EX);
    }
    ~AccountFilesTurn()
    {
        if (fd >= 0)
            ::close(fd);
    }
    AccountFilesTurn(const AccountFilesTurn&) = delete;
    AccountFilesTurn& operator=(const AccountFilesTurn&) = delete;

private:
    int fd;
};

bool runs(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace

OtherUser::OtherUser()
{
    static int count = 0;
    account = QStringLiteral("kavelo-t%1-%2").arg(::getpid()).arg(++count);
    if (::geteuid() != 0)
        return;
    const AccountFilesTurn turn;
    if (!runs(QStringLiteral("useradd"),
              {QStringLiteral("--system"), QStringLiteral("--user-group"), QStringLiteral("--no-create-home"),
               QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"), account}))
        return;
    const passwd* entry = ::getpwnam(account.toLocal8Bit().constData());
    if (!entry)
        return;
    userId = entry->pw_uid;
    groupId = entry->pw_gid;
    made = true;
}

OtherUser::~OtherUser()
{
    if (!made)
        return;
    const AccountFilesTurn turn;
    runs(QStringLiteral("userdel"), {account});
}

bool OtherUser::owns(const QString& path) const
{
    return ::lchown(QFile::encodeName(path).constData(), userId, groupId) == 0;
}
