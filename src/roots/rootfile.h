#pragma once

#include "common/outcome.h"
#include "roots/records.h"

#include <optional>

namespace vordane {

// Creates the root file empty when it does not exist; an existing file is left as it is.
FileStatus ensureRootFile(const QString &path);

// Which field a look-up compares: the code (field 1) or the word (field 2).
enum class RootKey { Code, Word };

struct RootLookup {
    Outcome outcome;
    std::optional<RootRecord> found; // the first root whose field matches, lower-cased
    bool fileHasLines = false; // whether any line was read before the match or the end
};

// Looks for the first root whose code or word equals key, without regard to case.
RootLookup lookUpRoot(const QString &path, RootKey field, const QString &key);

// Saves a root: the record (lower-cased) replaces in place the first line with
// its code, after a byte-for-byte copy of the file to path + ".tmp"; a root
// with a new code is added at the end, every byte of the file kept. A field
// holding a line break is refused (it would forge a second root). The files
// are replaced only when everything was written: on failure the root file
// and its copy are unchanged.
Outcome saveRoot(const QString &path, const RootRecord &record);

} // namespace vordane
