"""Reference numbers of test_scattering.cpp, worked out with tmm (shared/reference).

R is tmm's unpolarised reflectance, hemi its hemispherical mean (the integral of R sin 2t),
binR its mean over u = (n1 sin t)^2 across a bin, slab the attenuation averaged over a bin's
etendue. Run from the project folder:
    PYTHONPATH=../shared/reference /usr/bin/python3 tests/kernel/scattering_references.py
"""
import numpy as np, tmm
def R(n1, n2, t):
    return sum(tmm.coh_tmm(p, [n1, n2], [np.inf] * 2, t, 1000)['R'] for p in 'sp') / 2
def gl(f, a, b, panels, m=20):  # composite Gauss-Legendre
    x, w = np.polynomial.legendre.leggauss(m)
    e = np.linspace(a, b, panels + 1)
    return sum((q - p) / 2 * sum(wi * f((q - p) / 2 * xi + (p + q) / 2)
                                 for xi, wi in zip(x, w)) for p, q in zip(e[:-1], e[1:]))
def hemi(n):
    return gl(lambda t: R(1, n, t) * np.sin(2 * t), 0, np.pi / 2, 50, 400)
def binR(n1, n2, d0, d1, panels=100):  # mean over u = (n1 sin t)^2; 1 beyond critical
    u0, u1 = (n1 * np.sin(np.radians([d0, d1]))) ** 2
    c = n2.real ** 2 if n2.imag == 0 and n2.real ** 2 < u1 else u1
    f = lambda u: R(n1, n2, np.arcsin(np.sqrt(u) / n1))
    return (gl(f, u0, c, panels) + (u1 - c)) / (u1 - u0)
def slab(a, d0, d1):  # exp(-a / c) with weight 2c dc over the bin
    c1, c0 = np.cos(np.radians([d0, d1]))
    return gl(lambda c: 2 * c * np.exp(-a / c), c0, c1, 200, 50) / (c1 ** 2 - c0 ** 2)
for n in [1.5, 3.5, 0.2 + 3j, 0.07 + 4j]:
    print('hemi', n, '%.8f' % hemi(n))
for n, d in [(0.2 + 3j, 30), (0.2 + 3j, 60), (1.5 + 0j, 30), (1.5 + 0j, 60)]:
    print('binR', n, d, '%.10f' % binR(1, n, d, d + 0.5))
print('binR glass to air 40..42', '%.8f' % binR(1.5, 1 + 0j, 40, 42, 2000))
for b in [1, 2, 8, 45]:
    print('T0', b, '%.8f' % (1 - binR(1, 3.5 + 0j, 0, 90 / b)))
for a, d0, d1 in [(0.5, 0, 90), (1e-4, 0, 90), (0.5, 45, 90), (2.0, 0, 45)]:
    print('slab', a, d0, d1, '%.10f' % slab(a, d0, d1))
