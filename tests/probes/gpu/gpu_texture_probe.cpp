// Makes and frees one Texture from the path given; any output is a fault.
#include "gpu/Texture.h"
#include "support/GlTestContext.h"

int main(int argc, char** argv) {
    if (argc != 2 || !openProbeContext()) return 2;
    Texture texture(argv[1]);
    return 0;
}
