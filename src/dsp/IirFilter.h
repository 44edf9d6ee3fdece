#pragma once
// Cascade of six second-order sections in transposed direct form II over
// external coefficient tables (not owned). Returns exactly 0 until configured
// (gain -1 means off); configuring zeroes the state.

#include "dsp/IirTables.h"

namespace quelp {

class IirFilter {
  public:
    void Configure(const IirSections& denominators, const IirSections& numerators, double gain);
    void Configure(const IirTable& t) { Configure(t.Denominators, t.Numerators, t.Gain); }

    double Step(double x);

    bool Configured() const { return gain_ >= 0.0; }

  private:
    const IirSections* denominators_ = nullptr;
    const IirSections* numerators_ = nullptr;
    double gain_ = -1.0;  // negative = not configured
    bool unitA0_ = true;  // every section has a0 = 1
    double s1_[6] = {};   // first state of each section
    double s2_[6] = {};   // second state of each section
};

}  // namespace quelp
