// The toolkit's fixed start-up and shut-down orders around the program.
#pragma once

void ToolkitStart();
void ToolkitEnd();
