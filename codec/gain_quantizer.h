#pragma once
#include "codec/tables/tables.h"

// Quantisation of the adaptive and fixed codebook gains with MA prediction of the
// fixed-codebook energy.
namespace g729a {

// Past quantised prediction errors in dB. Only the load sets them: a codec reset keeps them.
class GainPredictor {
public:
    // Predicted fixed-codebook gain for `code`.
    double PredictedGain(const double* code) const;
    // The prediction error of the correction factor of GA row rowA and GB row rowB.
    void Push(int rowA, int rowB);
    // Concealment: the mean of the stored values minus 4 dB, floored at -14 dB.
    void PushErased();

private:
    void Shift(double newest);
    double energies_[4] = {kInitialGainEnergies[0], kInitialGainEnergies[1],
                           kInitialGainEnergies[2], kInitialGainEnergies[3]};
};

struct Gains {
    double pitch = 0.0;
    double code = 0.0;
};

// coefficients: <y1,y1>, -2<x,y1>, <y2,y2>, -2<x,y2>, 2<y1,y2> (each with its offset), where
// x is the target, y1 the filtered adaptive and y2 the filtered fixed vector.
int QuantizeGains(GainPredictor& predictor, const double* code, const double coefficients[5],
                  bool tamed, Gains& gains);

// Good frame: decodes the index. Erased frame: attenuates the previous gains.
void DecodeGains(GainPredictor& predictor, int index, const double* code, Gains& gains);
void ConcealGains(GainPredictor& predictor, Gains& gains);

}  // namespace g729a
