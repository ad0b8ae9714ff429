/*
** coil_form.cpp: the default coil form for a design frequency.  Higher
** frequencies want smaller coils; one size serves as both the form
** diameter and the winding length of all four coils.
*/
#include "coils/coil_model.h"

namespace {

struct FormStep {
  float fromMhz; /* the size holds from this frequency up */
  float inches;
};

const FormStep kFormSteps[] = {
    {0.5f, 4.0f},  {0.8f, 3.0f},     {1.0f, 2.0f},    {3.0f, 1.0f},    {10.0f, 0.75f},
    {30.0f, 0.5f}, {100.0f, 0.375f}, {300.0f, 0.25f}, {500.0f, 0.14f},
};

}  // namespace

void SetDefaultCoilForm(DesignState& s) {
  float f = s.Freq;
  if (!(f >= 0.5f)) f = 0.5f; /* also catches a frequency that is not a number */
  float size = kFormSteps[0].inches;
  for (const FormStep& step : kFormSteps)
    if (f >= step.fromMhz) size = step.inches;
  for (CoilRecord& coil : s.Coils) {
    coil.Dia = size;
    coil.Len = size;
  }
}
