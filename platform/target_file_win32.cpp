#include "platform/target_file.h"
