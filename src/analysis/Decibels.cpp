#include "Decibels.h"

void PowersToDb(const double* power, double* db, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        db[k] = PowerToDb(power[k]);
}
