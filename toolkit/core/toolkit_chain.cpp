// The toolkit's fixed start-up and shut-down orders around the program.
#include "toolkit/core/toolkit_chain.h"
#include "toolkit/core/text.h"
#include "toolkit/process/programs.h"

void ToolkitStart() {
    TextStart();
    ProgramsStart();
}

void ToolkitEnd() {
    TextEnd();  // last: the other modules may still hold texts until here
}
