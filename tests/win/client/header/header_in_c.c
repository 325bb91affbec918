/* tellit.h compiled as C on its own, with every warning an error, and correct calls. */
#include "tellit.h"

int send_two(void) {
  return tellitf("%d %s %lld %5.1f\n", 1, "two", 3LL, 4.0) + tellitwf(L"%d\n", 5) + tellitu8f("%s %c\n", "six", '7');
}
