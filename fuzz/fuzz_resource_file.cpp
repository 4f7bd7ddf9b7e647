// The widget resource file reader over the widgets' declared styles.
#include "oglui/widget.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Declares afresh each time, so that every input starts from the same styles.
    oglLoadWidgetResources(fuzz::writeInput(data, size, ".cfg"));
    return 0;
}
