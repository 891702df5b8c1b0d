// The export of a count's result under one base name: the marked image (.bmp), the table of
// particles (.dat) and a short report (.txt). The texts are Windows-1252 with CR LF line ends.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "image/gray_bitmap.h"
#include "image/progress.h"
#include "particles/particle.h"
#include "particles/particle_params.h"

namespace tarkemo {

// What one export attempt writes.
struct ExportRequest {
    std::string basePath;        // chosen path without extension
    bool germanNumbers = false;  // decimal comma instead of point in the table
    CountMethod method = CountMethod::Maxima;
    uint8_t minGray = 50;
    uint32_t minArea = 1;
    uint32_t maxArea = 10;
    const GrayBitmap* bitmap = nullptr;   // the image as displayed, with markers
    std::span<const Particle> particles;  // after the area filter
};

// The result of an export: 0 when all three files were written, otherwise these bits.
enum ExportFailure : unsigned {
    kExportBmpFailed = 1,
    kExportDatFailed = 2,
    kExportTxtFailed = 4,
    kExportCancelled = 8,  // the Progress said stop; no file was touched
};

// The table: a header line (with "Max. Höhe" and "Max. Breite" for stripes), then one line per
// particle from the last record to the first: centroid x and y, for stripes the height and width
// of the bounding box, area, max gray and mean gray, separated by tabs.
// A Progress, when given, is asked every few thousand lines; told to stop, the text is empty.
std::string ExportTableText(CountMethod method, bool germanNumbers, std::span<const Particle> particles,
                            Progress* progress = nullptr);

// The report: algorithm, threshold, area range and the number of particles.
std::string ExportReportText(CountMethod method, uint8_t minGray, uint32_t minArea, uint32_t maxArea,
                             size_t count);

// Writes base.bmp, base.dat and base.txt in that order, each atomically. A failed .bmp does not
// stop the others; a failed .dat skips the .txt. Returns the bits of the files that failed.
unsigned ExportParticles(const ExportRequest& request);

// As ExportParticles, but the three files replace their targets only when all three could be
// written and renamed; otherwise none is touched and the result names the files that failed (all
// three when a rename failed: the set was rolled back). Two exports to one base never interleave.
// With a Progress that says stop, nothing is touched and the result is kExportCancelled.
unsigned ExportParticlesAllOrNothing(const ExportRequest& request, Progress* progress = nullptr);

}  // namespace tarkemo
