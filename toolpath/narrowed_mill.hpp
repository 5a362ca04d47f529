// The current mill narrowed for a while and given back: the region cleaning, the open-contour
// tool tests, the hatch surface check and the surface link each work with a smaller tool than
// the one loaded. The guard reads the mill's diameter and corner radius when it is made and, once
// it has narrowed them, puts those values back when its frame is left on any road, the stop of
// an execution (execution_stop) included. It sits here, below tools/, so that the surface link
// can use it too: it reaches the tool through the mill services table (mill_services.hpp).
#pragma once

#include "nc_services/mill_services.hpp"

class narrowed_mill {
public:
    // Reads the current mill through the given table (the module's own by default). A tool that
    // is no mill reads -1 for both values.
    explicit narrowed_mill(const mill_services& services = mill_service_table());
    ~narrowed_mill();
    narrowed_mill(const narrowed_mill&) = delete;
    narrowed_mill& operator=(const narrowed_mill&) = delete;

    // Sets the current mill's diameter and corner radius; from then on the destructor gives
    // back the values read at the start. May be called again (the give-back stays the first
    // values). Does nothing when the current tool is no mill.
    void narrow(float diameter, float corner);

    // The values read at the start.
    float diameter() const { return diameter_; }
    float corner() const { return corner_; }

private:
    const mill_services& services_;
    float diameter_ = -1.0f;
    float corner_ = -1.0f;
    bool narrowed_ = false;
};
