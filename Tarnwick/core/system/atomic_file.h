#pragma once
// Replacing a file we write ourselves, all at once: readers see the old content
// or the new, never a part, and a link planted beside the file is never followed.
#include "core/system/unique_fd.h"

#include <string>
#include <string_view>
#include <sys/types.h>

namespace PortCore {

enum class FileWrite {
  Written,
  NoSuchDirectory,   ///< the directory is missing, or a path part is no directory
  PermissionDenied,  ///< the directory or the target refuses us
  NoSpace,           ///< the disk or the quota is full
  Failed,            ///< anything else (the target is a directory, an I/O error)
};

/// Writes `bytes` to a fresh temporary in the directory of `path` (created
/// exclusively, with `mode` under the umask), flushes it to disk and renames it
/// over `path`. On failure `path` keeps its old content and no temporary is left.
FileWrite writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode = 0644);

/// A new empty file put in place of `path` at once and left open for writing
/// (closed on exec): for a file that a writer keeps appending to, such as a
/// log. Created as writeFileAtomically creates its temporary, so nothing
/// planted at or beside `path` is opened; a reader of the old file keeps the
/// old content. Invalid when it cannot be created or renamed.
UniqueFd replaceWithNewFile(const std::string& path, mode_t mode);

}  // namespace PortCore
