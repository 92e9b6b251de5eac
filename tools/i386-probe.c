/* The smallest proof that a 32-bit Windows program runs here: it starts, computes with
   the x87 unit, writes to its standard output and ends with an exit code of its own. */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    (void)argv;
    /* The argument count keeps the compiler from working the answer out in advance. */
    volatile double half = 0.5 * argc;
    printf("probe: %.1f\n", 1.0 + half);
    return 42;
}
