// The a-values of a life table: the average part of an age interval lived by those who die
// in it, by the four methods of the life-table dialog.
//
// Single years: ax is a fraction of the year. Abridged groups: ax is in years of the group's
// interval (1, 4, then 5 years).
//
//   Uniform ("均匀分布"), with a0 and 4a1 given:
//     single years  a0, ages 1-4 take 4a1 / 4, later ages 0.5;
//     abridged      a0, 4a1, later groups 2.5.
//   Chiang ("蒋庆琅法"): the fixed fractions of chiangSingleYear / chiangAbridged below.
//   Coale-Demeny: a0 and 4a1 from q0 = 1 - exp(-M0) and the sex (Coale and Demeny 1983):
//     q0 >= 0.1  male 0.33 and 1.352, female 0.35 and 1.361;
//     q0 <  0.1  male 0.0425 + 2.875 q0 and 1.63 - 3.013 q0,
//                female 0.05 + 3.0 q0 and 1.524 - 1.627 q0;
//     single years  ages 1-4 take 4a1 / 4, 5-9 0.45, 10-70 0.52, 71 on 0.5;
//     abridged      group 2 (5-9) 2.25, groups 3-15 2.6, groups 16 on 2.5.
//   UN ("联合国法"): ages 0 and 1-4 as Coale-Demeny; then from the rates of the neighbouring
//     rows, G(x) = 2.5 - 25/12 (Mx - 0.2 ln(M(x+1) / M(x-1))) (a Greville-type rule):
//     single years  ages 5-14 0.5, ages 15 to N-2 G(x) / 5;
//     abridged      groups 2 and 3 2.5, groups 4 to N-2 G(k) in years.
//   The open last group's a-value (1 / M) is set by the life table itself.
#pragma once

#include <array>
#include <vector>

#include "analysis/life_table.h"

namespace zandor::analysis {

// The a-values of groups 0 to N-1 of `input` for the death rates `rates` (N = rates.size(),
// at most kMaxAgeGroups). The last entry is the closed-interval value the method gives; the
// life table replaces it by 1 / M. Refuses an unknown sex text with the Coale-Demeny or UN
// method and a neighbouring rate not above 0 in the UN rule; throws text::NumberFormatError
// when the uniform method's a0 or 4a1 is no number.
std::vector<double> lifeTableAValues(const LifeTableInput& input, const std::vector<double>& rates);

// The fixed tables of the Chiang method, indexed by age (single years) and by group index
// (abridged).
const std::array<double, kMaxAgeGroups>& chiangSingleYear();
const std::array<double, kMaxAgeGroups>& chiangAbridged();

}  // namespace zandor::analysis
