#pragma once

#include "skin/skinkeys.h"

#include <functional>
#include <vector>

class TForm1;

// Where a skin key lives in the running program: the control, or the scene element, that holds its
// value. The writer takes the live value from it and the loader puts a value read from the file into it.
struct TSkinBinding {
    std::function<TSkinValue(const TForm1&)> live;
    std::function<void(TForm1&, const TSkinValue&)> assign;
};

const TSkinBinding& skinBinding(TSkinKey key);

// One row of the loader: the key's value goes into its holder, then its rule brings it to the scene,
// whether or not the holder already had that value.
struct TSkinLoadStep {
    TSkinKey key;
    std::function<void(TForm1&)> then;
};

// Every key once, in the order the loader takes them.
const std::vector<TSkinLoadStep>& skinLoadOrder();
