#pragma once

// The one sine family every platform uses. Built from IEEE additions, multiplications,
// divisions and square roots only, so glibc, the Windows runtimes, any x86 and wasm get the same
// bits. Results are the correctly rounded doubles except, at worst, in rare cases one ulp off.
namespace tavrik {

double Sin(double x);
double Cos(double x);
// Both at once, sharing the argument reduction; the same bits as Sin and Cos.
void SinCos(double x, double& s, double& c);
// The same results rounded to float, bit for bit, from a cheaper evaluation where that is enough
// to round.
float SinF(double x);
float CosF(double x);
void SinCosF(double x, float& s, float& c);
double Asin(double x);
double Atan(double x);

}  // namespace tavrik
