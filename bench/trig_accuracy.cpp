// The sine family against MPFR over ten million arguments of the motion's ranges (a count on the
// command line replaces it). Exits 1 if any result is more than one ulp off.
#include <cstdio>
#include <cstdlib>

#include "math/trig_sweep.h"

int main(int argc, char** argv) {
  const uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000000;
  const tavrik::sweep::Tallies t = tavrik::sweep::run(count, 1);
  tavrik::sweep::print(t);
  for (const tavrik::sweep::Tally* tally : {&t.sine, &t.cosine, &t.arcsine, &t.arctangent}) {
    if (tally->maxUlps > 1.0) {
      std::printf("more than one ulp off at %a\n", tally->worstArgument);
      return 1;
    }
  }
  return 0;
}
