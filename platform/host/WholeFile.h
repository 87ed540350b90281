#pragma once

// Files replaced whole or not at all, and never through a link: what a run
// writes where other people may have been before it (a preset in /etc, a
// person's settings written by root).

#include <sys/types.h>
#include <QByteArray>
#include <QString>
#include <optional>

// Puts content into the file at path: into a new file beside it first, which
// is put on the disk and then renamed over path, so that path holds either
// the old or the whole new content. A file that was there keeps its mode
// (without set-id bits), and its owner and group where the writer may give
// them away (as root may); root's new file in a folder another person owns
// is theirs. A new file gets newMode whatever the umask, or
// without one the mode the umask gives, as a plain open would create it. A
// symbolic link at path, or anything else but a regular file, is neither
// followed nor replaced. False on failure, with errno saying why; path is
// then unchanged and nothing is left beside it.
bool writeWholeFile(const QString& path, const QByteArray& content, std::optional<mode_t> newMode);
