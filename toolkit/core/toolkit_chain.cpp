// The toolkit's fixed start-up and shut-down orders around the program.
#include "toolkit/core/toolkit_chain.h"
#include "toolkit/core/text.h"

void ToolkitStart() {
    TextStart();
}

void ToolkitEnd() {
    TextEnd();  // last: the other modules may still hold texts until here
}
