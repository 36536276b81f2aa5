#pragma once
// WEXA interconnect model: closed-form delay estimates for an on-chip wire of a
// given length on a given metal layer of one technology generation.
//
//  - unbuffered wire with optimal wire sizing: Tows, Tows_all, Wows
//  - one buffer at its best position:          T1buf, alpha, Lcrit
//  - optimally buffered wire:                  Tbiws, Tbisws
//
// Every estimate is built from one segment delay (segDelay) that uses the
// Lambert W function. Generations 1 to 5 (0.25, 0.18, 0.13, 0.10, 0.07 um) are
// built in; slots 6 to 25 are free for user generations (set_tech_params).
// Layer numbers n are 1-based; layers 2k-1 and 2k share tier row k-1.
//
// The tables are process-wide and filled by wexa_init.
#include <array>
#include <limits>

inline constexpr double mini_unit = 0.001;  // scale of every segment delay
inline constexpr double kilo_unit = 1000.0;
inline constexpr double tg_err = 1e-15;  // an intrinsic delay at or below this means "use b2"

inline constexpr int gen_lower_bound = 6;   // first user generation slot
inline constexpr int gen_upper_bound = 25;  // last generation slot
inline constexpr int layer_lower_bound = 1;
inline constexpr int layer_upper_bound = 8;
inline constexpr int layer_count = 1;  // layer used by set_tech_params for a bad layer number

inline constexpr int basic_param_count = 5;  // b0 .. b4 per generation
inline constexpr int tier_row_count = 4;     // tier rows per generation
inline constexpr int tier_param_count = 3;   // p1, p2, p3 per tier row
inline constexpr int builtin_gen_count = 5;  // generations 1 .. 5
inline constexpr int basic_data_size = builtin_gen_count * basic_param_count;
inline constexpr int tier_data_size = builtin_gen_count * tier_row_count * tier_param_count;

// Next slot set_tech_params tries for a generation outside the user range.
extern int gen_count;
// gen_tag[g] is 1 when generation slot g (1 .. 25) holds parameters; index 0 is unused.
extern std::array<int, gen_upper_bound + 1> gen_tag;

using BasicRow = std::array<double, basic_param_count>;
using TierRow = std::array<double, tier_param_count>;
using TierRows = std::array<TierRow, tier_row_count>;

// Working tables indexed by generation (index 0 stays all zero: "no generation").
extern std::array<BasicRow, gen_upper_bound + 1> basic_params;
extern std::array<TierRows, gen_upper_bound + 1> tier_related_params;

// Built-in values for generations 1 to 5, generation 1 first.
extern const std::array<double, basic_data_size> basic_params_data;
extern const std::array<double, tier_data_size> tier_related_params_data;

// Fills the working tables from the built-in data; marks 1..5 used and 6..25 free.
void wexa_init();

// Tier row of layer n and b2, b3, b4 of generation g. A generation or layer outside
// the tables reads all-zero parameters.
void get_tech_params(int g, int n, double& p1, double& p2, double& p3, double& b2, double& b3,
                     double& b4);

// Stores a user generation. A g outside 6..25 takes the next free user slot; a
// layer number outside 1..8 becomes layer_count. The slot and layer used are
// returned through g and n.
void set_tech_params(int& g, int& n, double p1, double p2, double p3, double b2, double b3,
                     double b4);

// Principal branch of the Lambert W function (w e^w = x), by bisection to an
// absolute residual below 1e-5; 0 for |x| <= 1e-5.
double Lambert(double x);

// Delay of a wire segment of length l on layer n of generation g, driven by
// resistance R into load capacitance C.
double segDelay(double l, double R, double C, int n, int g);

double Tows(double l, double R, double C, int n, int g);
// Tows plus the intrinsic delay t (b2 of g when t <= tg_err).
double Tows_all(double l, double R, double C, double t, int n, int g);
// Optimal wire width for the segment.
double Wows(double l, double R, double C, int n, int g);

// Wire of length L with one buffer (R2, C2, t) at fraction a: the first part is
// driven by R1 into C1, the second by R2 into C2. Note the parameter order.
double T1buf(double R1, double C2, double R2, double C1, double t, int g, int n, double L,
             double a);
// Buffer fraction in [0.02, 0.98] that minimises T1buf (same parameter order).
double alpha(double R1, double C2, double R2, double C1, double t, int g, int n, double L);
// Critical length: the length in [100, 100000] from which one buffer (R2, C2, t)
// between driver R1 and load C1 stops costing time.
double Lcrit(double R1, double C1, double R2, double C2, double t, int n, int g);

// Wire of length L from driver R into load C with optimal insertion of buffers
// (Rb, Cb, tb); tb <= tg_err means b2 of g.
double Tbiws(double L, double R, double C, double Rb, double Cb, double tb, int n, int g);
// Best Tbiws over the k buffer sizes in Rb[], Cb[], tb[]; 1e8 when k <= 0.
double Tbisws(double L, double R, double C, const double Rb[], const double Cb[], const double tb[],
              int k, int n, int g);

// The critical lengths a buffered wire's delay is built from. They depend on the
// driver, load, buffer, layer and generation but not on the wire's length, so a
// caller asking for many lengths can keep them. NaN marks one not computed yet;
// each is computed when a length first needs it.
struct TbiwsCriticalLengths {
  static constexpr double unknown = std::numeric_limits<double>::quiet_NaN();
  double driverToLoad = unknown;    // below it the wire is not buffered
  double driverToBuffer = unknown;  // driver to the first buffer
  double bufferToLoad = unknown;    // last buffer to the load
  double bufferToBuffer = unknown;  // between two buffers of a chain
};

// Tbiws and Tbisws with critical lengths kept in crit (one record per buffer
// size for Tbisws). The records must have been used only with the same driver,
// load, buffers, layer and generation; the results are those of the plain forms.
double Tbiws(double L, double R, double C, double Rb, double Cb, double tb, int n, int g,
             TbiwsCriticalLengths& crit);
double Tbisws(double L, double R, double C, const double Rb[], const double Cb[], const double tb[],
              int k, int n, int g, TbiwsCriticalLengths crit[]);
