#!/usr/bin/env python3
"""Write DOSRZnrc inputs for the pencil-beam ring x slab reference cases."""
import sys, os

HERE = os.path.dirname(os.path.abspath(__file__))
# the project's data folder (this file lies in bench/reference/<set>/inputs/)
SPECTRUM_SRC = os.environ.get('SPECTRUM_DIR', os.path.join(HERE, '..', '..', '..', '..', 'data'))

def spectrum_file(name):
    """EGSnrc spectrum (mode 0: counts per bin, energy uniform in the bin) from the
    project's table of 0.05 MeV bins given by their centres."""
    path = os.path.join(HERE, f'{name}.spectrum')
    rows = []
    for line in open(os.path.join(SPECTRUM_SRC, f'{name}.csv')):
        line = line.strip()
        if not line or line.startswith('#'):
            continue
        c, w = (float(x) for x in line.split(','))
        rows.append((c, w))
    with open(path, 'w') as f:
        f.write(f'{name} from data/{name}.csv, 0.05 MeV bins\n')
        f.write(f'{len(rows)}, {rows[0][0] - 0.025:.4f}, 0\n')
        for c, w in rows:
            f.write(f'{c + 0.025:.4f}, {w:.6e}\n')
    return path

def egsinp(tag, layers, nhist, seeds, energy=None, spectrum=None):
    # get_input reads at most 256 characters a line; a trailing comma continues the list
    rv = [f'{0.2 * j:.1f}' for j in range(1, 126)]
    radii = ',\n  '.join(', '.join(rv[i:i + 10]) for i in range(0, len(rv), 10))
    media = []
    for lo, hi, m in layers:
        if m not in media:
            media.append(m)
    mednum = ', '.join(str(media.index(m) + 1) for _, _, m in layers)
    startz = ', '.join(str(int(round(lo / 0.1)) + 1) for lo, _, _ in layers)
    stopz = ', '.join(str(int(round(hi / 0.1))) for _, hi, _ in layers)
    ones = ', '.join('1' for _ in layers)
    rings = ', '.join('125' for _ in layers)
    dcf = {'water': 'water_liquid', 'lung': 'lung_inflated_icru_1986',
           'bone': 'bone_cortical_icru_1986'}
    if spectrum:
        src = (f'  INCIDENT ENERGY= spectrum\n  SPEC FILENAME= {spectrum_file(spectrum)}\n'
               '  SPEC IOUTSP= none\n')
    else:
        src = f'  INCIDENT ENERGY= monoenergetic\n  INCIDENT KINETIC ENERGY(MEV)= {energy}\n'
    mdef = ''.join(f' :start {m}:\n  density correction file= {dcf[m]}\n'
                   f'  bremsstrahlung correction= NRC\n :stop {m}:\n' for m in media)
    return f''' TITLE= {tag} pencil beam r=0.2 cm, 125 rings x 300 slabs
 :start I/O control:
 DOSE ZBOUND MIN= 1
 DOSE ZBOUND MAX= 301
 DOSE RBOUND MIN= 0
 DOSE RBOUND MAX= 125
 IWATCH= off
 STORE INITIAL RANDOM NUMBERS= no
 IRESTART= first
 OUTPUT OPTIONS= short
 STORE DATA ARRAYS= no
 ELECTRON TRANSPORT= normal
 :stop I/O control:
 :start Monte Carlo inputs:
 NUMBER OF HISTORIES= {nhist}
 INITIAL RANDOM NO. SEEDS= {seeds[0]}, {seeds[1]}
 MAX CPU HOURS ALLOWED= 10.0
 IFULL= dose and stoppers
 STATISTICAL ACCURACY SOUGHT= 0.0
 SCORE KERMA= yes
 :stop Monte Carlo inputs:
 :start geometrical inputs:
 METHOD OF INPUT= groups
 Z OF FRONT FACE= 0.
 NSLAB= 300
 SLAB THICKNESS= 0.1
 RADII= {radii}
 MEDIA= {', '.join(media)}
 DESCRIPTION BY= planes
 MEDNUM= {mednum}
 START ZSLAB= {startz}
 STOP ZSLAB= {stopz}
 START RING= {ones}
 STOP RING= {rings}
 :stop geometrical inputs:
 :start source inputs:
  INCIDENT PARTICLE= photon
  SOURCE NUMBER= 0
  SOURCE OPTIONS= 0.2, 0, 0, 1
{src} :stop source inputs:
 :Start MC Transport Parameter:
 Global ECUT= 0.521
 Global PCUT= 0.010
 Global SMAX= 1e10
 ESTEPE= 0.25
 XIMAX= 0.5
 Boundary crossing algorithm= EXACT
 Skin depth for BCA= 3
 Electron-step algorithm= PRESTA-II
 Spin effects= Off
 Brems angular sampling= KM
 Brems cross sections= BH
 Bound Compton scattering= On
 Pair angular sampling= Simple
 Pair cross sections= BH
 Triplet production= Off
 Photoelectron angular sampling= On
 Rayleigh scattering= On
 Atomic relaxations= On
 Electron Impact Ionization= Off
 Photon cross sections= xcom
 Photonuclear attenuation= Off
 :Stop MC Transport Parameter:
 :Start Variance Reduction:
 BREM SPLITTING= Off
 NUMBER OF BREMS PER EVENT= 1
 CHARGED PARTICLE RUSSIAN ROULETTE= Off
 ELECTRON RANGE REJECTION= off
 ESAVEIN= 0.0
 RUSSIAN ROULETTE DEPTH= 0.0
 RUSSIAN ROULETTE FRACTION= 0.0
 EXPONENTIAL TRANSFORM C= 0.0
 PHOTON FORCING= Off
 START FORCING= 1
 STOP FORCING AFTER= 1
 CS ENHANCEMENT FACTOR= 1.0
 CS ENHANCEMENT START REGION= 1
 CS ENHANCEMENT STOP REGION= 1
 :Stop Variance Reduction:
 :start plot control:
 PLOTTING= off
 :stop plot control:
 :start media definition:
 AE= 0.521
 UE= 50.511
 AP= 0.010
 UP= 50.0
{mdef} :stop media definition:
'''

CASES = {
    'E05.975MeV': dict(layers=[(0, 30, 'water')], energy=5.975),
    'E09.975MeV': dict(layers=[(0, 30, 'water')], energy=9.975),
    'E14.975MeV': dict(layers=[(0, 30, 'water')], energy=14.975),
    'G1_lung_6MV': dict(layers=[(0, 3, 'water'), (3, 13, 'lung'), (13, 30, 'water')], spectrum='6MV'),
    'G1_lung_6MV': dict(layers=[(0, 3, 'water'), (3, 13, 'lung'), (13, 30, 'water')], spectrum='6MV'),
    'G2_bone_6MV': dict(layers=[(0, 2, 'water'), (2, 4, 'bone'), (4, 30, 'water')], spectrum='6MV'),
    'G3_bone_15MV': dict(layers=[(0, 2, 'water'), (2, 4, 'bone'), (4, 30, 'water')], spectrum='15MV'),
    'G4_lung_15MV': dict(layers=[(0, 3, 'water'), (3, 13, 'lung'), (13, 30, 'water')], spectrum='15MV'),
}

if __name__ == '__main__':
    # usage: make_inputs.py CASE NSUB NHIST_PER_SUB SEED0 [PREFIX [FIRST]]
    # (FIRST: number of the first sub-run, to add sub-runs with new seeds to a case)
    case, nsub, nper, s0 = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    prefix = sys.argv[5] if len(sys.argv) > 5 else case
    first = int(sys.argv[6]) if len(sys.argv) > 6 else 1
    c = CASES[case]
    for i in range(first, first + nsub):
        seeds = (s0 + 17 * i, 3000 + s0 // 10 + 7 * i)
        name = f'{prefix}_r{i:02d}'
        with open(os.path.join(os.environ['EGS_HOME'], 'dosrznrc', name + '.egsinp'), 'w') as f:
            f.write(egsinp(name, c['layers'], nper, seeds, c.get('energy'), c.get('spectrum')))
        print(name)
