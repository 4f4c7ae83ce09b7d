#pragma once
// The files that make a folder count as installed game data are put in place
// last by the importer.

#include <cstddef>
#include <functional>
#include <string>

#include "files/DataLayout.h"

namespace lumaroll {

// The three marker files (kInstalledMarkers) of one import. A data folder
// counts as installed game data as soon as they exist, so the importer puts
// them in place only after every other file of the package is in place and on
// the disk: until then each is held back, complete, under its name +
// ".import-part". An import that fails or is killed before the end therefore
// leaves no marker behind, and the next start offers the import again.
//
// Over an earlier installation the markers are withdrawn (moved to their
// held-back names, and that made durable) before the first file is written,
// so that a re-import killed midway is not taken for a complete one. A marker
// that the new package lacks is put back with the others at the end: the
// earlier data still counts once the import succeeds.
class HeldMarkers {
public:
    static constexpr std::size_t kCount = sizeof kInstalledMarkers / sizeof kInstalledMarkers[0];

    // flush makes the changes in destDir durable; false when it cannot.
    HeldMarkers(std::string destDir, std::function<bool()> flush);
    // Unless place() succeeded, removes every held-back marker and, once the
    // markers were withdrawn, every marker in place: a failed import leaves
    // none. Before the withdrawal nothing was written, and an earlier
    // installation stays as it is.
    ~HeldMarkers();
    HeldMarkers(const HeldMarkers&) = delete;
    HeldMarkers& operator=(const HeldMarkers&) = delete;

    // Withdraws the markers of an earlier installation; the importer calls it
    // before it writes its first file (later calls do nothing). Held-back
    // files left by a killed import are removed first: they are not this
    // package's. Returns the failure message ("Could not write " + path +
    // "."), or empty.
    std::string withdraw();

    // The marker (index into kInstalledMarkers) that rel, a path below the
    // destination, names; -1 for any other file. Doubled '/' and "."
    // segments do not hide a marker.
    static int markerIndex(const std::string& rel);
    // True when rel is a marker's path or lies below one: a folder made there
    // would make the marker exist before the end, so the importer writes
    // nothing there.
    static bool inMarkerPlace(const std::string& rel);

    // Where the marker's file is written and kept until placed.
    std::string heldPath(int marker) const;
    // Records that the marker's file is complete at heldPath(marker).
    void hold(int marker);

    // The installed-data test on the destination as it is once placed: every
    // marker held back or in place.
    bool complete() const;
    // Renames the held-back markers into place and, when it renamed any,
    // flushes. False when a rename or the flush fails; the destructor then
    // removes the markers again.
    bool place();

private:
    std::string markerPath(std::size_t marker) const;

    std::string destDir;
    std::function<bool()> flush;
    bool withdrawn = false;
    bool held[kCount] = {};
    bool placed = false; // place() succeeded
};

} // namespace lumaroll
