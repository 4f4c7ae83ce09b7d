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
// ".import-part". A first import that fails or is killed before the end
// therefore leaves no marker behind, and the next start offers the import
// again.
//
// Over an earlier installation the markers are withdrawn (moved to their
// held-back names, and that made durable) before the first file is written,
// so that a re-import killed midway is not taken for a complete one. What a
// killed import leaves held back is never put in place later: nothing tells
// whether it is the earlier marker or the package's own, which may not have
// reached the disk. A re-import that fails with an error puts the markers
// back instead (restore()): every file it wrote replaced its target whole, so
// once those files are on the disk the folder holds whole files of the
// earlier package and of the new one, as the earlier import left it plus what
// this one wrote, and the installed-data test answers as it did before. A
// marker that the new package lacks is put back with the others at the end
// of a successful import.
class HeldMarkers {
public:
    static constexpr std::size_t kCount = sizeof kInstalledMarkers / sizeof kInstalledMarkers[0];

    // flush makes the changes in destDir durable; false when it cannot.
    HeldMarkers(std::string destDir, std::function<bool()> flush);
    // restore(), unless place() or restore() ran to its end already (an
    // exception left the import).
    ~HeldMarkers();
    HeldMarkers(const HeldMarkers&) = delete;
    HeldMarkers& operator=(const HeldMarkers&) = delete;

    // Withdraws the markers of an earlier installation; the importer calls it
    // before it writes its first file (later calls do nothing). Held-back
    // files left by a killed import are removed first: they are not this
    // package's. Returns the failure message ("Could not write " + path +
    // "."), or empty; after a failure the importer writes nothing and
    // restore() puts back the markers moved so far.
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
    // flushes. False when a rename or the flush fails; the importer then
    // calls restore().
    bool place();

    // For an import that fails, before its error is reported: the markers
    // that were in place when the import began come back (the package's own
    // copy where it wrote one whole, else the earlier file); the others,
    // held back or placed, are removed. Once the withdrawal has run, what the
    // import wrote is flushed first, and the markers come back only when that
    // flush succeeds (a failed flush leaves no marker: the files on the disk
    // cannot be vouched for); the markers' renames are flushed afterwards.
    // The installed-data test then answers as before the import. Later calls
    // do nothing.
    void restore();

private:
    std::string markerPath(std::size_t marker) const;

    std::string destDir;
    std::function<bool()> flush;
    bool withdrawn = false;    // withdraw() succeeded: files of the package may follow
    bool earlier[kCount] = {}; // in place when the import began, moved to its held-back name
    bool held[kCount] = {};    // a complete file at heldPath
    bool done = false;         // place() succeeded or restore() ran
};

} // namespace lumaroll
