// SPDX-License-Identifier: GPL-3.0-or-later
#include "TabelleLingue.h"

namespace varnel {

const std::array<double, 26>& FrequenzeLettere(Lingua lingua)
{
    return lingua == Lingua::Italiano ? FrequenzeItaliano : FrequenzeInglese;
}

const TabellaQuadrigrammi& Quadrigrammi(Lingua lingua)
{
    return lingua == Lingua::Italiano ? QuadrigrammiItaliano : QuadrigrammiInglese;
}

}  // namespace varnel
