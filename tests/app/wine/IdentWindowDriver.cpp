#include "IdentWindowDriver.h"

#include "DiscreteToContinuous.h"
#include "IdentLibrary.h"
#include "blocks/IdentTestSupport.h"
#include "IdentTexts.h"

#include <random>

namespace identdriver {

void attach()
{
    FakeHost::clear();
    FakeHost::strings() = {"Test", "LS"};
    HostServices services = FakeHost::services();
    IdentModuleRegister(&services);
    identLoadHook();
}

int open(int method, int num, int den, double tsamp, int dead)
{
    return static_cast<int>(IDOPEN(method, num, den, tsamp, dead));
}

void openWindow(int handle, int mode)
{
    IDWINOPEN(handle, mode, 0, 1);
}

void put(int handle)
{
    IDWINPUT(handle);
}

void identifyPlant(int handle)
{
    const double h = handle;
    IDSET(h, 1, 1e6);
    IDSETUP(h);
    std::mt19937 gen(4);
    double y1 = 0, y2 = 0, u1 = 0, u2 = 0;
    for (int t = 0; t < 200; ++t) {
        const double u = gen() % 2 ? 1.0 : -1.0;
        const double y = 1.5 * y1 - 0.7 * y2 + u1 + 0.5 * u2;
        IDSTEP(h, u, y);
        y2 = y1;
        y1 = y;
        u2 = u1;
        u1 = u;
    }
}

std::vector<double> theta(int handle, int count)
{
    std::vector<double> out;
    for (int i = 0; i < count; ++i)
        out.push_back(IDGET(handle, i));
    return out;
}

std::string continuousDisplay(int handle, int mode, bool allDigits)
{
    const IdentHandle* h = identHandle(handle);
    if (!h)
        return std::string();
    std::vector<double> t = theta(handle, h->estimator.nb + h->estimator.na);
    std::vector<double> c;
    if (!convertToContinuous(mode, t.data(), h->estimator.nb, h->estimator.na, h->tsamp, c))
        return std::string();
    return identContinuousDisplay(c.data(), static_cast<int>(c.size()), h->estimator.d * h->tsamp, allDigits);
}

void unloadHook()
{
    identUnloadHook();
}

void startHook()
{
    identStartHook();
}

void closeAll()
{
    identCloseAll();
}

bool isOpen(int handle)
{
    return identHandle(handle) != nullptr;
}

std::vector<std::string> messages()
{
    return FakeHost::messages();
}

} // namespace identdriver
