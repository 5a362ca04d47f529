// The current cutter grown by a stock, for the queries that locate the tool over the surfaces
// left a stock away: a cutter grown by the stock e touching the surfaces stands where the cutter
// touches the surfaces moved out by e, with its tip e lower.
#pragma once

// While it lives, linnet_params' cutter is grown by the stock: corner radius r + e (not below 0),
// diameter D + 2 e tan((pi/2 - a) / 2) (D + 2e untapered; a tapered diameter is taken where the
// flank meets the tip plane; a flat end that gains a corner becomes a bull-nose), cut length
// L + e (1 - sin a) (not below 0), so that the grown flank ends where the flank moved out by e
// ends, and a tapered flank's top edge rounded by an arc of radius e (linnet_params'
// flank_rounding), as the moved-out cutter's is: without it the cutter would be e (1 - cos a) too
// narrow there and come nearer than e to the rim of a surface. It gives the cutter back on every
// way out. A height found with the grown cutter is the real tip's less lift().
class stock_cutter {
public:
    explicit stock_cutter(float stock);
    ~stock_cutter();
    stock_cutter(const stock_cutter&) = delete;
    stock_cutter& operator=(const stock_cutter&) = delete;

    // How far the real tip stands above the grown cutter's tip.
    float lift() const { return stock_; }

private:
    float stock_;
    float diameter_, corner_, cut_length_, flank_rounding_;
    int type_;
};

// Statuses of stock_drop: found, nothing under the cutter, no triangle model held (nothing said),
// failed ("<caller>, WRONG CUTTER" on the error channel).
inline constexpr int kStockFound = 0, kStockNothing = 1, kStockNoModel = 2, kStockFailed = -1;

// The current cutter grown by the stock lowered at the point's x and y (along the tool axis when
// it is tilted): kStockFound with the real tip (the grown one lifted by the stock along the axis),
// the contact normal and the touched point of the surfaces. Reads linnet_params, tri_store,
// qt_nodes.
void stock_drop(const char* caller, const float* point, float stock, float* tip, float* normal, float* contact,
                int& status);
