#pragma once

// The reason of a failed file operation in the user's words: German for the
// reasons a download and its folders meet (a full disk, a missing folder, no
// right to write), the system's own text for the rare rest.

#include <QString>
#include <cerrno>

QString systemErrorText(int code = errno);
