#include "IdentWindowLink.h"

#include "DiscreteToContinuous.h"
#include "IdentLibrary.h"
#include "IdentTexts.h"

#include <vector>

int identWindowDenominatorOrder(int handle)
{
    const IdentHandle* h = identHandle(handle);
    return h ? h->estimator.na : 0;
}

void identWindowSetMode(int handle, int mode)
{
    identSetOutputMode(handle, mode);
    identWindowRefresh(handle);
}

void identWindowRefresh(int handle)
{
    if (identHandle(handle))
        IDWINPUT(static_cast<double>(handle));
}

bool identWindowTransfer(int handle, IdentTransfer* transfer)
{
    const IdentHandle* h = identHandle(handle);
    if (!h)
        return false;
    const VEC* theta = identMethods[h->estimator.method].getTheta(&h->estimator);
    const int nb = h->estimator.nb, na = h->estimator.na;
    if (h->outputMode == kZeroOrderHold || h->outputMode == kFirstOrderHold) {
        std::vector<double> c;
        if (!convertToContinuous(h->outputMode, theta->ve, nb, na, h->tsamp, c))
            return false;
        transfer->text = identContinuousTransfer(c.data(), static_cast<int>(c.size()));
    } else {
        transfer->text = identDiscreteTransfer(theta->ve, nb, na);
    }
    transfer->deadTime = h->estimator.d * h->tsamp;
    transfer->tsamp = h->tsamp;
    return true;
}

void identWindowEnded(int handle)
{
    identWindowClosed(handle);
}
