# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""A geodesy survives its own text form, pickles and settings files to the bit.

Every projection type gets random parameters of full double precision (more
digits than any settings form shows); its copies through to_text/from_text and
pickle must convert 10^5 points to exactly the same bits.
"""
import pickle

import numpy as np
import pytest

import gridwise

N = 100_000


def tm_fields(r):
    return (f"{r.uniform(-180, 180)!r},{r.uniform(-2e6, 2e6)!r},{r.uniform(-1e6, 1e6)!r},"
            f"{r.uniform(0.9, 1.0)!r},{r.uniform(-60, 60)!r},{int(r.integers(0, 3))}")


def near(r, values):
    return ",".join(repr(v + r.uniform(-1e-3, 1e-3)) for v in values)


# type: (initialisation string from a generator, centre of the points (lat, lon))
def cases():
    r = np.random.default_rng(20261211)
    out = []
    tm = tm_fields(r)
    out.append(("transverse Mercator", f"0,Zone,{tm}", (float(tm.split(",")[4]), float(tm.split(",")[0]))))
    p1, p2, lat0, lon0 = r.uniform(25, 35), r.uniform(40, 50), r.uniform(20, 40), r.uniform(-170, 170)
    out.append(("Lambert", f"1,Cone,{p1!r},{p2!r},{lon0!r},{lat0!r},{r.uniform(-1e6, 1e6)!r},"
                           f"{r.uniform(-1e6, 1e6)!r},1", (37.0, lon0)))
    kestrel = near(r, [0, 1, 0]) + "," + near(r, [0, 1, 0]) + "," + near(r, [1, 0, 0]) + "," + near(r, [1, 0, 0])
    kestrel = ",".join(f"{float(v) * (1e4 if i % 3 == 2 else 1)!r}" for i, v in enumerate(kestrel.split(",")))
    tm = tm_fields(r)
    out.append(("Kestrel local over TM", f"3,Site,{kestrel},0,Base,{tm}",
                (float(tm.split(",")[4]), float(tm.split(",")[0]))))
    south = r.uniform() < 0.5
    lon0 = r.uniform(-180, 180)
    out.append(("polar stereographic", f"4,Pole,{lon0!r},{-90.0 if south else 90.0},{r.uniform(0.97, 1.0)!r},"
                                       f"{r.uniform(0, 3e6)!r},{r.uniform(0, 3e6)!r},0",
                (-80.0 if south else 80.0, lon0)))
    lat0, lon0 = r.uniform(-60, 60), r.uniform(-180, 180)
    out.append(("local tangent", f"5,Plant,{lat0!r},{lon0!r},", (lat0, lon0)))
    lat0, lon0 = r.uniform(-60, 60), r.uniform(-170, 170)
    tm = tm_fields(r)
    out.append(("station/offset over TM", f"6,Line,{lat0!r},{lon0!r},{lat0 + r.uniform(-0.1, 0.1)!r},"
                                          f"{lon0 + r.uniform(-0.1, 0.1)!r},0,Base,{tm}", (lat0, lon0)))
    out.append(("RD", "7,RD", (52.0, 5.0)))
    datum = (f"Bessel 1841,{r.uniform(6.37e6, 6.38e6)!r},{r.uniform(290, 300)!r},Random,{r.uniform(-600, 600)!r},"
             f"{r.uniform(-600, 600)!r},{r.uniform(-600, 600)!r},{r.uniform(-3e-5, 3e-5)!r},"
             f"{r.uniform(-3e-4, 3e-4)!r},{r.uniform(-3e-4, 3e-4)!r},{r.uniform(-3e-4, 3e-4)!r}")
    return [(name, init, datum, centre) for name, init, centre in out]


CASES = cases()


def same_bits(a, b):
    a, b = np.asarray(a, dtype=np.float64), np.asarray(b, dtype=np.float64)
    return a.shape == b.shape and np.array_equal(a.view(np.int64), b.view(np.int64))


def conversions(g, lat, lon, north, east):
    return (*g.geo_to_grid(lat, lon, status=True), *g.grid_to_geo(north, east, status=True),
            *g.to_wgs84(lat, lon, status=True), *g.from_wgs84(lat, lon, status=True),
            g.convergence(north, east), g.point_scale(north, east))


@pytest.mark.parametrize("name,init,datum,centre", CASES, ids=[c[0] for c in CASES])
def test_copies_convert_to_the_same_bits(name, init, datum, centre, tmp_path):
    g = gridwise.Geodesy.from_text(init, datum)
    r = np.random.default_rng(7)
    lat = np.clip(centre[0] + r.uniform(-4, 4, N), -89.99, 89.99)
    lon = centre[1] + r.uniform(-4, 4, N)
    north, east = g.geo_to_grid(lat, lon)
    expected = conversions(g, lat, lon, north, east)

    copies = {"text": gridwise.Geodesy.from_text(*g.to_text()), "pickle": pickle.loads(pickle.dumps(g))}
    for how, copy in copies.items():
        assert copy == g, how
        assert copy.to_text() == g.to_text(), how
        for i, (a, b) in enumerate(zip(expected, conversions(copy, lat, lon, north, east))):
            assert same_bits(a, b), f"{name}: output {i} differs after {how}"


@pytest.mark.parametrize("name,init,datum,centre", CASES, ids=[c[0] for c in CASES])
def test_equality_sees_the_last_bit(name, init, datum, centre):
    g = gridwise.Geodesy.from_text(init, datum)
    init_text, datum_text = g.to_text()
    fields = datum_text.split(",")
    fields[5] = repr(np.nextafter(float(fields[5]), np.inf))
    other = gridwise.Geodesy.from_text(init_text, ",".join(fields))
    assert other != g


def test_british_grid_keeps_its_scale_in_every_form(tmp_path):
    # A scale factor of ten decimals: the settings form shows six, so a saved
    # projection would move the grid by 0.29 m if the writer cut it.
    g = gridwise.Geodesy.from_text(
        "0,British National Grid,W002 00.0000,-100000.00,400000.00,0.9996012717,N49 00.0000,0",
        "Airy 1830,6377563.396,299.3249646,OSGB36,446.448,-125.157,542.06,-0.0000204894,"
        "0.0000416666666667,0.0000686944444444,0.0002292222222222")
    assert "0.9996012717" in g.init_string
    assert g.init_string == g.to_text()[0]  # its forms carry every value: one text
    # The worked example of the grid's own guide, on OSGB36: 52 39 27.2531 N,
    # 1 43 04.5177 E is E 651409.903, N 313177.270.
    north, east = g.geo_to_grid(52 + 39 / 60 + 27.2531 / 3600, 1 + 43 / 60 + 4.5177 / 3600)
    np.testing.assert_allclose((north, east), (313_177.270, 651_409.903), atol=1e-3)
