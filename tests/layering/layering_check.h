// tests/layering/layering_check.h: reads every #include of a source tree and
// names the ones that break the layers: platform <- engine <- the
// subsystems <- game <- app. Outside its own folder (and its own tests) a
// subsystem X is seen only through its front door "X/X.h" and its state
// header "X/X_state.h"; a fuzz target reaches inside to the loader it
// feeds. The engine and the platform include nothing above them; a tool
// includes nothing of the game and of a subsystem only the data file names
// "X/X_files.h" and the picture layouts "X/*_cells.h" it makes them from.
#pragma once
#include <string>
#include <vector>

// One line per fault: "file: includes \"header\" (why)". root is the tree's
// top folder; build folders and sample data are skipped.
std::vector<std::string> checkLayering(const std::string& root);
// The fault of one include line of a file, both paths relative to the root;
// empty when it is allowed.
std::string layeringFault(const std::string& file, const std::string& header);
