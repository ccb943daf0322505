// makemovie: encodes the project's own opening movie into the game folder.
//   makemovie <game folder>
#include <cstdio>
#include <string>

#include "tools/movie_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: makemovie <game folder>\n");
        return 2;
    }
    std::string path = std::string(argv[1]) + "/tolli_op.wmv";
    char error[512];
    if (!writePatternMovie(path.c_str(), OPENING_MOVIE, error, sizeof error)) {
        fprintf(stderr, "makemovie: %s\n", error);
        return 1;
    }
    return 0;
}
