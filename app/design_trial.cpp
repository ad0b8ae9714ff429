/*
** design_trial.cpp: the buffers of the trials, used as a stack.
*/
#include "app/design_trial.h"

#include <cassert>

#include "app/design_check.h"

namespace {

/* Static: a design is too large for the stack, and the heap is not used
   after start-up. */
DesignState trials[kTrialDepth];
int trialsOpen = 0;

}  // namespace

DesignTrial::DesignTrial(const DesignState& s) {
  assert(trialsOpen < kTrialDepth);
  design_ = &trials[trialsOpen++];
  *design_ = s;
}

DesignTrial::~DesignTrial() {
  assert(trialsOpen > 0 && design_ == &trials[trialsOpen - 1]); /* the last one opened */
  trialsOpen--;
}

bool DesignTrial::PassPrintsFinite(PassKind kind) {
  ComputePass(*design_, kind);
  return DesignPrintsFinite(*design_);
}

bool DesignTrial::PrintsFinite() const {
  return DesignPrintsFinite(*design_);
}

void DesignTrial::TakeInto(DesignState& s) const {
  s = *design_;
}
