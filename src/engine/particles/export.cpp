#include "particles/export.h"

#include <array>
#include <optional>
#include <vector>

#include "image/atomic_file.h"
#include "image/bmp_file.h"
#include "particles/number_format.h"

namespace tarkemo {
namespace {

// Table lines between two questions to the Progress.
constexpr int64_t kLinesPerReport = 65536;

// Windows-1252: "ä" 0xE4, "ö" 0xF6, "²" 0xB2.
constexpr const char* kTableHeadStart = "x\ty";
constexpr const char* kTableHeadStripes = "\tMax. H\xF6he\tMax. Breite";
constexpr const char* kTableHeadEnd =
    "\tFl\xE4"
    "che\tMax. GW\tMittl. GW\r\n";

const char* AlgorithmLine(CountMethod method) {
    switch (method) {
        case CountMethod::Binarise:
            return "Algorithmus:\tBinarisation.\r\n";
        case CountMethod::Stripes:
            return "Algorithmus:\tStreifen z\xE4hlen (mit Binarisation).\r\n";
        case CountMethod::Maxima:
            break;
    }
    return "Algorithmus:\tMaxima suchen\r\n";
}

std::string TableLine(const Particle& p, bool stripes, bool germanNumbers) {
    std::string line = FormatTableReal(p.centroidX) + '\t' + FormatTableReal(p.centroidY) + '\t';
    if (stripes) {
        line += std::to_string(static_cast<int64_t>(p.top) - p.bottom + 1) + '\t';
        line += std::to_string(static_cast<int64_t>(p.right) - p.left + 1) + '\t';
    }
    line += std::to_string(p.area) + '\t' + std::to_string(p.maxGray) + '\t' + FormatTableReal(p.meanGray);
    FinishTableLine(line, germanNumbers);
    return line + "\r\n";
}

std::string PathFor(const ExportRequest& request, const char* extension) {
    return request.basePath + extension;
}

std::string TableFor(const ExportRequest& request, Progress* progress = nullptr) {
    return ExportTableText(request.method, request.germanNumbers, request.particles, progress);
}

std::string ReportFor(const ExportRequest& request) {
    return ExportReportText(request.method, request.minGray, request.minArea, request.maxArea,
                            request.particles.size());
}

}  // namespace

std::string ExportTableText(CountMethod method, bool germanNumbers, std::span<const Particle> particles,
                            Progress* progress) {
    const bool stripes = method == CountMethod::Stripes;
    std::string text = kTableHeadStart;
    if (stripes) text += kTableHeadStripes;
    text += kTableHeadEnd;
    const auto total = static_cast<int64_t>(particles.size());
    int64_t done = 0;
    for (auto it = particles.rbegin(); it != particles.rend(); ++it) {
        text += TableLine(*it, stripes, germanNumbers);
        if (++done % kLinesPerReport == 0 && ReportProgress(progress, done, total)) return {};
    }
    return text;
}

std::string ExportReportText(CountMethod method, uint8_t minGray, uint32_t minArea, uint32_t maxArea,
                             size_t count) {
    std::string text = AlgorithmLine(method);
    text += "Minimaler Grauwert:\t" + std::to_string(minGray) + "\r\n";
    text +=
        "Minimale Partikelfl\xE4"
        "che:\t" +
        std::to_string(minArea) + " Pixel\xB2\r\n";
    text +=
        "Maximale Partikelfl\xE4"
        "che:\t" +
        std::to_string(maxArea) + " Pixel\xB2\r\n";
    text += "\r\nZahl der gefundenen Partikel:\t" + std::to_string(count) + "\r\n";
    return text;
}

unsigned ExportParticles(const ExportRequest& request) {
    unsigned failed = 0;
    if (!request.bitmap || !WriteBmpFile(*request.bitmap, PathFor(request, ".bmp")))
        failed |= kExportBmpFailed;
    if (!WriteFileAtomically(PathFor(request, ".dat"), TableFor(request))) return failed | kExportDatFailed;
    if (!WriteFileAtomically(PathFor(request, ".txt"), ReportFor(request))) failed |= kExportTxtFailed;
    return failed;
}

unsigned ExportParticlesAllOrNothing(const ExportRequest& request, Progress* progress) {
    StagedFile bmp(PathFor(request, ".bmp")), dat(PathFor(request, ".dat")), txt(PathFor(request, ".txt"));
    unsigned failed = 0;
    std::optional<std::vector<uint8_t>> encoded;
    if (request.bitmap) encoded = EncodeBmp(*request.bitmap);
    if (!encoded || !bmp.Write(*encoded)) failed |= kExportBmpFailed;
    encoded.reset();
    // The staged files are removed unless committed, so a stop leaves no file behind.
    if (progress != nullptr && progress->Cancelled()) return kExportCancelled;
    const std::string table = TableFor(request, progress);
    if (progress != nullptr && progress->Cancelled()) return kExportCancelled;
    if (!dat.Write(table)) failed |= kExportDatFailed;
    if (!txt.Write(ReportFor(request))) failed |= kExportTxtFailed;
    if (failed != 0) return failed;
    if (progress != nullptr && progress->Cancelled()) return kExportCancelled;
    StagedFile* const set[] = {&bmp, &dat, &txt};
    if (!CommitTogether(set)) return kExportBmpFailed | kExportDatFailed | kExportTxtFailed;
    return 0;
}

}  // namespace tarkemo
