#include "support/OtherUser.h"

#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// useradd and userdel give up while another of them holds the account files:
// the tests that run side by side take turns under this lock.
bool runsInTurn(const QString& program, const QStringList& arguments)
{
    const int turn = ::open("/run/lock/kavelo-test-accounts", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ::flock(turn, LOCK_EX);
    QProcess process;
    process.start(program, arguments);
    const bool ran =
        process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    ::close(turn);
    return ran;
}

}  // namespace

OtherUser::OtherUser()
{
    static int count = 0;
    account = QStringLiteral("kavelo-t%1-%2").arg(::getpid()).arg(++count);
    if (::geteuid() != 0
        || !runsInTurn(QStringLiteral("useradd"),
                       {QStringLiteral("--system"), QStringLiteral("--user-group"), account}))
        return;
    if (const passwd* entry = ::getpwnam(account.toLocal8Bit().constData())) {
        userId = entry->pw_uid;
        groupId = entry->pw_gid;
    }
}

OtherUser::~OtherUser()
{
    if (isThere())
        runsInTurn(QStringLiteral("userdel"), {account});
}

bool OtherUser::owns(const QString& path) const
{
    return ::lchown(QFile::encodeName(path).constData(), userId, groupId) == 0;
}
