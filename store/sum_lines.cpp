#include "store/sum_lines.h"

void FreeSumLines(ClSumLineList& lines)
{
    for (StAOSUMINFO* line : lines)
        delete line;
    lines.clear();
}
