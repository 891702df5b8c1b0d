// tarkemo-gen: writes a synthetic particle image as an 8-bit BMP file.
//   tarkemo-gen OUT.bmp [WIDTH HEIGHT SPOTS [SEED]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "generator/particle_image.h"
#include "image/bmp_file.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 5 && argc != 6) {
        std::fprintf(stderr, "Aufruf: tarkemo-gen AUSGABE.bmp [BREITE HÖHE PARTIKEL [SAAT]]\n");
        return 2;
    }
    tarkemo::testimages::ParticleImageSpec spec;
    if (argc >= 5) {
        spec.width = std::atoi(argv[2]);
        spec.height = std::atoi(argv[3]);
        spec.spotCount = std::atoi(argv[4]);
    }
    if (argc == 6) spec.seed = std::strtoull(argv[5], nullptr, 10);
    if (!tarkemo::BitmapSizeAllowed(spec.width, spec.height) || spec.spotCount < 0) {
        std::fprintf(stderr, "Ungültige Bildgröße oder Partikelzahl\n");
        return 2;
    }
    const tarkemo::GrayBitmap bitmap = tarkemo::testimages::MakeParticleImage(spec);
    if (!tarkemo::WriteBmpFile(bitmap, argv[1])) {
        std::fprintf(stderr, "Fehler beim Schreiben von %s\n", argv[1]);
        return 4;
    }
    return 0;
}
