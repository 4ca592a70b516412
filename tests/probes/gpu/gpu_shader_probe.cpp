// Builds one ShaderProgram from the two paths given and exits 0 if it links.
#include "gpu/ShaderProgram.h"
#include "support/GlTestContext.h"

int main(int argc, char** argv) {
    if (argc != 3 || !openProbeContext()) return 2;
    ShaderProgram program(argv[1], argv[2]);
    return 0;
}
