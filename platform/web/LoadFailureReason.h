#pragma once

// Why a page could not be loaded, in the words the download buttons use.

#include <QString>

// The German reason for the web engine's error code: a network error of
// Chromium's (negative: -102 a refused connection, -200 … -299 the server's
// certificate, -800 … -899 the name lookup) or an HTTP status (positive).
// Other codes give a general text with the code.
QString loadFailureReason(int errorCode);
