// Test entry: a toolkit that is up, as the program's entry point leaves it.
#include "toolkit/core/program_heap.h"
#include "toolkit/core/text.h"
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ProgramHeapSet(HeapCreate(0, 4096, 0));
    TextStart();
    int result = RUN_ALL_TESTS();
    TextEnd();
    HeapDestroy(ProgramHeap());
    return result;
}
