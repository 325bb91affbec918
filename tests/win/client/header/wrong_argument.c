/* A call whose argument does not match its format: the header must make this a warning. */
#include "tellit.h"

int send_wrong(void) { return tellitf("%d\n", "not a number"); }
