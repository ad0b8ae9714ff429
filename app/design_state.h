/*
** design_state.h: the one record of the whole program.
**
** Every input, fixed model constant, control flag and result lives here,
** grouped by the module that writes it.  Real values are single precision
** and held in the unit their screen shows (MHz, W, V, A, ohm, uH, pF,
** inches); FreqHz and the sweep's angular frequencies are the exceptions.
** The record is plain data: it can be copied (a trial design is a copy)
** and zeroed (value-initialisation gives the start-up zeros).
*/
#ifndef TOLVARIN_APP_DESIGN_STATE_H
#define TOLVARIN_APP_DESIGN_STATE_H

#include <cstdint>

/* One single-layer air-wound solenoid. */
struct CoilRecord {
  float Uhy;      /* inductance, uH */
  float Nturns;   /* turns, real-valued */
  float Len;      /* winding length, in */
  float Dia;      /* form diameter, in */
  float Pitch;    /* Len / Nturns, in per turn */
  float Qu;       /* unloaded Q */
  int32_t AWGMIN; /* thickest gauge whose bare wire fits the pitch */
  float Rac;      /* RF loss resistance, ohm */
  float XL;       /* reactance at the design frequency, ohm */
  float Pdiss;    /* dissipated power, W */
  float Rdc;      /* DC resistance with the USE gauge, ohm */
  float PdissDc;  /* DC part of the choke's dissipation, W */
};

/* Index of each coil in DesignState::Coils, in record order. */
enum CoilIndex { kChokeLp1 = 0, kTuneLs2 = 1, kMatchLs3 = 2, kLs2PlusLs3 = 3, kCoilCount = 4 };

enum { kSweepPoints = 25, kSweepDesignPoint = 10, kSweep2Fo = 23, kSweep3Fo = 24 };

/* The swept impedance and power of one output-network variant. */
struct SweepColumn {
  float Rp[kSweepPoints];  /* parallel resistance seen by the device, ohm */
  float Xp[kSweepPoints];  /* parallel reactance, Cp1 included, ohm */
  float Pwr[kSweepPoints]; /* estimated output power, W */
  float Db2xFo;            /* second-harmonic figure, dB */
  float Db3xFo;            /* third-harmonic figure, dB */
};

/* The arrangement of an EL match: the value of MatchEL, MatchBAS and
   MatchPI, which stay int (0, 1, 2).  The series inductor always sits on
   the low-resistance side, the shunt capacitor across the high one. */
enum ElArrangement {
  kElNone = 0,     /* the resistances are equal: no network */
  kElStepUp = 1,   /* Rload above: series L next to the network, shunt C across the load */
  kElStepDown = 2, /* Rload below: shunt C across the network, series L to the load */
};

inline bool IsElArrangement(int a) {
  return a == kElNone || a == kElStepUp || a == kElStepDown;
}

enum { kNoticeSize = 160 };

struct DesignState {
  /* Design inputs. */
  float Freq;  /* MHz */
  float Power; /* W, also the generated power Pgen */
  float Vcc;   /* V */
  float QL;
  float Rload; /* ohm */
  float Ron;   /* ohm */

  /* Fixed model constants. */
  float Safety;
  float SwitchEff;
  float Qcap;

  /* Control fields. */
  int FullRecalc; /* 1: the next pass is a full pass */
  int MatchEL;    /* ElArrangement of the main EL match, from Ro to Rload */
  int TchNotch;   /* 1: the second-harmonic trap is in the swept filter */

  /* Basic class-E results. */
  float FreqHz;
  float Vpk;
  float DevBV;
  float Ro;
  float Ls2; /* uH */
  float Cp1; /* pF */
  float Cs2; /* pF */
  float QC;
  float RoPiRef;
  float Cp2PiRef; /* pF */
  float Lp1;      /* uH, 10 x Ls2 on a full pass; the coil editor may change it */

  /* EL matching and element stresses. */
  float Qmatch;
  float Ls3; /* uH */
  float Cp3; /* pF */
  float VLp1, ILp1;
  float VCp1, ICp1;
  float VLs2, ILs2;
  float VCs2, ICs2;
  float VRo, IRo;
  float VRload, IRload;
  float VCp3, ICp3;
  float VLs3, ILs3;

  /* Power and efficiency. */
  float Pdc;
  float Idc;
  float DevIpk;
  float DevDiss;
  float Pcoils;
  float Pcaps;
  float PwrOut;
  float OverallEff;

  /* Coils, in the order of CoilIndex. */
  CoilRecord Coils[kCoilCount];
  /* Coil editor selection, kept between visits (see coils/coil_editor.h). */
  int CoilSelection;

  /* Transformer matching of the BASIC and PINET arrangements. */
  float NTBAS, ZTBAS;
  float Ls2BAS, Cs2BAS, RoBAS;
  int MatchBAS; /* ElArrangement */
  float QmatchBAS, LMBAS, CMBAS;
  float NTPI, ZTPI;
  float Ls2PI, Cp2PI, RoPI;
  int MatchPI; /* ElArrangement */
  float QmatchPI, LMPI, CMPI;

  /* Norton transform of the basic circuit. */
  float Cs1, Cp2N, Ls2N, Rt;

  /* Tchebychev low-pass filter and its second-harmonic trap. */
  float Cpin, LsTCH, Cpout, CsTrap, LsTrap;

  /* Broadband sweep. */
  float SweepFreq[kSweepPoints];  /* MHz */
  float SweepOmega[kSweepPoints]; /* rad/s */
  float FilterRs[kSweepPoints], FilterXs[kSweepPoints];
  float FilterRp[kSweepPoints], FilterXp[kSweepPoints];
  SweepColumn SweepBAS, SweepBASEL, SweepBASELTCH;
  SweepColumn SweepPI, SweepPIEL, SweepPIELTCH;

  /* One line shown above the menu on the next main screen, then cleared:
     says what entry was refused and why.  Empty when Notice[0] is 0. */
  char Notice[kNoticeSize];
};

#endif
