/* What the soak and leak tests take from their command line. */
#ifndef VMT_SOAK_H
#define VMT_SOAK_H

#include <stdint.h>

namespace soak {

/* --seed=N (or "random") and --steps=N; the environment variables
   VMT_SOAK_SEED and VMT_SOAK_STEPS take precedence. */
extern uint32_t g_seed;
extern int      g_steps;

}  // namespace soak

#endif
