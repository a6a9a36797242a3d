#pragma once

namespace pelorin {

// Starts the editor: parses the command line, builds the document, the main
// window and the view, and runs until the main window closes. Returns the
// process's exit status.
int runPelorin(int argc, char** argv);

}  // namespace pelorin
