#include "encoder/device_encoder.h"
