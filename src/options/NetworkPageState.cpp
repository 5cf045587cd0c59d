#include "options/NetworkPageState.h"

NetworkPageState NetworkPageState::from(const NetworkSettings& settings, bool debugLog) {
    NetworkPageState state;
    state.values = settings;
    state.debugLog = debugLog;
    if (state.values.Proxy != 1 && state.values.Proxy != 2)
        state.values.Proxy = 0;
    if (state.values.Proxy != 2)
        state.values.Name.clear();
    return state;
}

void NetworkPageState::chooseProxy(int mode) {
    values.Proxy = mode == 1 || mode == 2 ? mode : 0;
    // A named proxy keeps the name it had; the other modes have none.
    if (values.Proxy != 2)
        values.Name.clear();
}

const QStringList& ListingMethods() {
    static const QStringList methods = {QStringLiteral("MFC使用"), QStringLiteral("SDK使用")};
    return methods;
}

int ListingMethodSelection(int list) {
    return list >= 0 && list < ListingMethods().size() ? list : -1;
}
